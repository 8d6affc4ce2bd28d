// Prompts for the editor's benchmarks: nothing is shown, every question is
// declined, so a measured command runs without waiting on a dialog.
#pragma once

#include "app/Prompts.h"

namespace animora {

class SilentPrompts : public Prompts {
public:
    PromptAnswer Message(const QString&, const QString&, PromptIcon, PromptButtons) override
    {
        return PromptAnswer::Ignore;
    }
    std::optional<QString> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }

protected:
    std::any AskDialog(const std::any&, const DialogRunner&) override { return {}; }
};

} // namespace animora
