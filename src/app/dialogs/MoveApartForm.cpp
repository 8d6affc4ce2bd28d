#include "app/dialogs/MoveApartForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace animora {

std::optional<effects::TMoveApartParams> ShowDialog(const MoveApartQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TMoveApartForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Params();
}

TMoveApartForm::TMoveApartForm(QWidget* parent)
    : TEffectForm({"MoveApartForm", "Move apart",
                   "Effect of transformation of the first frame in last. The transformation occurs as to move apart "
                   "of windows.",
                   "Copy first frame to all", true},
                  parent)
{
    auto* groups = new QHBoxLayout;
    groups->addWidget(
        RadioPair("GroupBox1", horizontal_, "Horizontal", "Horizontal", vertical_, "Vertical", "Vertical"));
    groups->addWidget(RadioPair("GroupBox2", increase_, "IncreaseButton", "Increase ", diminish_,
                                "DiminishButton", "Diminish "));
    OwnControls()->addLayout(groups);
    scale_ = new QCheckBox("Scale", this);
    scale_->setObjectName("Scale");
    OwnControls()->addWidget(scale_);
}

effects::TMoveApartParams TMoveApartForm::Params() const
{
    effects::TMoveApartParams params;
    FillShared(params);
    params.orientation = vertical_->isChecked() ? effects::orVertical : effects::orHorizontal;
    params.kind = diminish_->isChecked() ? effects::mkDiminish : effects::mkIncrease;
    params.scale = scale_->isChecked();
    return params;
}

} // namespace animora
