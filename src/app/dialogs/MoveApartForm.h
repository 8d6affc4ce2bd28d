#pragma once
// The move apart dialog: the run of frames, the direction the window opens
// in, whether it opens or closes, and whether the last frame is squeezed
// into it.
#include "app/Prompts.h"
#include "app/dialogs/EffectForm.h"

class QRadioButton;

namespace animora {

// Move apart: the effect's options as the dialog holds them; nothing on Cancel.
struct MoveApartQuestion {
    using Answer = effects::TMoveApartParams;
};
std::optional<effects::TMoveApartParams> ShowDialog(const MoveApartQuestion&, DialogHost& host);

class TMoveApartForm : public TEffectForm {
    Q_OBJECT
public:
    explicit TMoveApartForm(QWidget* parent = nullptr);

    effects::TMoveApartParams Params() const;

    QRadioButton* Vertical() const { return vertical_; }
    QRadioButton* DiminishButton() const { return diminish_; }
    QCheckBox* Scale() const { return scale_; }

private:
    QRadioButton* horizontal_;
    QRadioButton* vertical_;
    QRadioButton* increase_;
    QRadioButton* diminish_;
    QCheckBox* scale_;
};

} // namespace animora
