#pragma once
// The prompts as Qt dialogs: message boxes, file dialogs, and each
// feature's dialogs, made once so their fields last for the run.
#include "app/Prompts.h"

class QWidget;

namespace animora {

// "Name|*.a;*.b|Other|*.c" as Qt's file dialogs want it: "Name (*.a *.b);;Other (*.c)".
QString QtFileFilter(const QString& filter);

class QtPrompts : public Prompts {
public:
    QtPrompts();
    ~QtPrompts() override;

    // The window the dialogs belong to; made after the prompts themselves.
    void SetParentWindow(QWidget* window);

    PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    std::unique_ptr<ProgressWindow> ShowProgress(const ProgressRequest& request) override;

protected:
    std::any AskDialog(const std::any& question, const DialogRunner& show) override;

private:
    void DropDialogs();

    QWidget* parent_ = nullptr;
    // The feature dialogs, owned by the parent window, which may go first.
    std::unordered_map<std::type_index, QPointer<QDialog>> dialogs_;
};

} // namespace animora
