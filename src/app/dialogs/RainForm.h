#pragma once
// The rain dialog: the run of frames and the two shared boxes.
#include "app/Prompts.h"
#include "app/dialogs/EffectForm.h"

namespace animora {

// Rain: the effect's options as the dialog holds them (the command picks the
// seed); nothing on Cancel.
struct RainQuestion {
    using Answer = effects::TRainParams;
};
std::optional<effects::TRainParams> ShowDialog(const RainQuestion&, DialogHost& host);

class TRainForm : public TEffectForm {
    Q_OBJECT
public:
    explicit TRainForm(QWidget* parent = nullptr);

    effects::TRainParams Params() const;
};

} // namespace animora
