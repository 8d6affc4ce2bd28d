#pragma once
// The prompts as Qt dialogs: message boxes, file dialogs, and the create and
// JPEG option dialogs, made once so their fields last for the run.
#include <QPointer>

#include "app/Prompts.h"
#include "app/dialogs/CreateGIFForm.h"
#include "app/dialogs/OptionForm.h"
#include "app/dialogs/SaveJPEGForm.h"

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
    std::optional<CreateGifFields> AskCreateGif() override;
    std::optional<QSize> AskFrameSize(QSize current) override;
    std::optional<JpegSaveOptions> AskJpegOptions() override;

private:
    QWidget* parent_ = nullptr;
    // Owned by the parent window, which may go first.
    QPointer<TCreateGIFForm> createForm_;
    QPointer<TSaveJPEGForm> jpegForm_;
    QPointer<TOptionForm> optionForm_;
};

} // namespace animora
