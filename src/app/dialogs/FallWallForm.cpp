#include "app/dialogs/FallWallForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace animora {

std::optional<effects::TFallWallParams> ShowDialog(const FallWallQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TFallWallForm>();
    if (form.FallCB()->currentIndex() < 0)
        form.FallCB()->setCurrentIndex(0);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Params();
}

TFallWallForm::TFallWallForm(QWidget* parent)
    : TEffectForm({"FallWallForm", "Fall wall",
                   "Effect of transformation of the first frame in last. Transformations occurs as a put forward wall.",
                   "Copy first frame to all effected frame", true},
                  parent)
{
    // The items are in the order of TFallDirection; "Down to  Up" has always
    // had two blanks.
    fallCB_ = new QComboBox(this);
    fallCB_->setObjectName("FallCB");
    fallCB_->addItems({"Up to Down", "Down to  Up", "Left to Right", "Right to Left"});
    fallCB_->setCurrentIndex(0);
    unfold_ = new QCheckBox("Unfold ", this);
    unfold_->setObjectName("Unfold");
    scaleCB_ = new QCheckBox("Scale", this);
    scaleCB_->setObjectName("ScaleCB");
    // Squeezing ignores Unfold, so it cannot be changed while Scale holds.
    connect(scaleCB_, &QCheckBox::toggled, unfold_, [this](bool scale) { unfold_->setEnabled(!scale); });

    OwnControls()->addWidget(fallCB_);
    auto* modes = new QHBoxLayout;
    modes->addWidget(unfold_);
    modes->addWidget(scaleCB_);
    modes->addStretch(1);
    OwnControls()->addLayout(modes);
}

effects::TFallWallParams TFallWallForm::Params() const
{
    effects::TFallWallParams params;
    FillShared(params);
    params.direction = static_cast<effects::TFallDirection>(std::max(0, fallCB_->currentIndex()));
    params.mode = effects::FallModeFromChecks(unfold_->isChecked(), scaleCB_->isChecked());
    return params;
}

} // namespace animora
