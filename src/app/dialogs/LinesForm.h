#pragma once
// The lines dialog: the first frame of a run of four, the number of bands
// and their direction.
#include "app/Prompts.h"
#include "app/dialogs/EffectForm.h"

class QRadioButton;

namespace animora {

// Lines: the effect's options as the dialog holds them; nothing on Cancel.
struct LinesQuestion {
    using Answer = effects::TLinesParams;
};
std::optional<effects::TLinesParams> ShowDialog(const LinesQuestion&, DialogHost& host);

class TLinesForm : public TEffectForm {
    Q_OBJECT
public:
    explicit TLinesForm(QWidget* parent = nullptr);

    effects::TLinesParams Params() const;

    QSpinBox* EditCount() const { return editCount_; }
    QRadioButton* Vert() const { return vert_; }

private:
    QSpinBox* editCount_;
    QRadioButton* horiz_;
    QRadioButton* vert_;
};

} // namespace animora
