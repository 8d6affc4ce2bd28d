#pragma once
// Everything a command asks the user goes through this interface: message
// boxes, questions, file dialogs and the modal parameter dialogs. The editor
// installs QtPrompts; the tests install a scripted one, so every flow can run
// without a display.
#include <optional>

#include <QSize>
#include <QString>

namespace animora {

enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNoCancel, AbortIgnoreAll };
enum class PromptAnswer { Ok, Cancel, Yes, No, Abort, Ignore, All };

// The three fields of the create dialog as typed; the command parses them.
struct CreateGifFields {
    QString frameCount;
    QString frameWidth;
    QString frameHeight;
};

// The JPEG save settings of the JPEG options dialog.
struct JpegSaveOptions {
    int quality = 50;
    bool grayscale = false;
    bool smoothing = false;
};

struct FileDialogRequest {
    QString filter;          // "Name|*.a;*.b|Other|*.c" as the menus list them
    QString defaultSuffix;   // save dialogs only; empty for none
};

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon,
                                 PromptButtons buttons) = 0;
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;

    // The create dialog (it keeps its fields between uses); nothing on Cancel.
    virtual std::optional<CreateGifFields> AskCreateGif() = 0;
    // The frame size dialog preset with the frame's size; nothing on Cancel.
    virtual std::optional<QSize> AskFrameSize(QSize current) = 0;
    // The JPEG options dialog; nothing on Cancel.
    virtual std::optional<JpegSaveOptions> AskJpegOptions() = 0;

    // What the top-level handler shows for a failure.
    void ShowError(const QString& text);
};

// Caption of the failure box shown by the top-level handler.
inline constexpr const char* kApplicationTitle = "Animora Pro";

} // namespace animora
