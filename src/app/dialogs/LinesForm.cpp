#include "app/dialogs/LinesForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace animora {

std::optional<effects::TLinesParams> ShowDialog(const LinesQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TLinesForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Params();
}

TLinesForm::TLinesForm(QWidget* parent)
    : TEffectForm({"LinesForm", "Lines",
                   "The first frame is moved apart by lines. On a background to be the last frame.",
                   "Copy last frame to all", false},
                  parent)
{
    const effects::TLinesParams defaults;
    // The run is always four frames: three drawn and the last one.
    CountFrame()->setValue(defaults.frameCount);
    CountFrame()->setReadOnly(true);
    CopyFrame()->setChecked(defaults.copyFrame);
    editCount_ = NumberEdit("EditCount", defaults.lines);
    NumberRows()->addRow("Count of lines", editCount_);

    OwnControls()->addWidget(RadioPair("GroupBox1", horiz_, "Horiz", "Horizontal", vert_, "Vert", "Vertical"));
}

effects::TLinesParams TLinesForm::Params() const
{
    effects::TLinesParams params;
    FillShared(params);
    params.lines = editCount_->value();
    params.orientation = vert_->isChecked() ? effects::orVertical : effects::orHorizontal;
    return params;
}

} // namespace animora
