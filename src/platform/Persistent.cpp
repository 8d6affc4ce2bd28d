#include "platform/Persistent.h"

#include "platform/Errors.h"

namespace animora {

void TPersistent::Assign(const TPersistent& source)
{
    if (!source.AssignTo(*this))
        throw EConvertError::CannotAssign(source.ClassName(), ClassName());
}

bool TPersistent::AssignTo(TPersistent&) const
{
    return false;
}

} // namespace animora
