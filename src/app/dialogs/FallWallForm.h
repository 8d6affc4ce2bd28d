#pragma once
// The fall wall dialog: the run of frames, the side the wall comes from, and
// how it enters (unfold, slide or squeeze).
#include "app/Prompts.h"
#include "app/dialogs/EffectForm.h"

class QComboBox;

namespace animora {

// Fall wall: the effect's options as the dialog holds them; nothing on Cancel.
struct FallWallQuestion {
    using Answer = effects::TFallWallParams;
};
std::optional<effects::TFallWallParams> ShowDialog(const FallWallQuestion&, DialogHost& host);

class TFallWallForm : public TEffectForm {
    Q_OBJECT
public:
    explicit TFallWallForm(QWidget* parent = nullptr);

    effects::TFallWallParams Params() const;

    QComboBox* FallCB() const { return fallCB_; }
    QCheckBox* Unfold() const { return unfold_; }
    QCheckBox* ScaleCB() const { return scaleCB_; }

private:
    QComboBox* fallCB_;
    QCheckBox* unfold_;
    QCheckBox* scaleCB_;
};

} // namespace animora
