#include "platform/Errors.h"

namespace animora {

EListError EListError::IndexOutOfBounds(long index)
{
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

EConvertError EConvertError::CannotAssign(const std::string& sourceClass, const std::string& targetClass)
{
    return EConvertError("Cannot assign a " + sourceClass + " to a " + targetClass);
}

} // namespace animora
