#include "app/dialogs/RainForm.h"

namespace animora {

std::optional<effects::TRainParams> ShowDialog(const RainQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TRainForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Params();
}

TRainForm::TRainForm(QWidget* parent)
    : TEffectForm({"RainForm", "Rain",
                   "Effect of transformation of the first frame in last. Transformations occurs as strewed pixels.",
                   "Copy first frame to all effected frame", true},
                  parent)
{
}

effects::TRainParams TRainForm::Params() const
{
    effects::TRainParams params;
    FillShared(params);
    return params;
}

} // namespace animora
