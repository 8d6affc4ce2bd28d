#pragma once
// Everything a command asks the user goes through this interface: message
// boxes, questions and file dialogs, plus the modal parameter dialogs of
// each feature. The editor installs QtPrompts; the tests install a scripted
// one, so every flow can run without a display.
//
// A feature's dialog is a question type of its own, declared beside the
// dialog:
//
//     struct FrameSizeQuestion {
//         using Answer = QSize;
//         QSize current;
//     };
//     std::optional<QSize> ShowDialog(const FrameSizeQuestion&, DialogHost&);
//
// and a command asks it with `prompts.Ask(FrameSizeQuestion{size})`. Adding a
// dialog touches neither this file nor the prompts classes.
#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <unordered_map>

#include <QPointer>
#include <QString>

class QDialog;
class QWidget;

namespace animora {

enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNoCancel, AbortIgnoreAll };
enum class PromptAnswer { Ok, Cancel, Yes, No, Abort, Ignore, All };

struct FileDialogRequest {
    QString filter;          // "Name|*.a;*.b|Other|*.c" as the menus list them
    QString defaultSuffix;   // save dialogs only; empty for none
};

// A long run the user may stop (a video import or export): a modal window
// with a bar and Cancel, up for as long as the object lives.
struct ProgressRequest {
    QString caption;  // the window's title
    QString text;     // what is running, until the run says otherwise
};

class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // Shows how far the run is and lets the window answer the user; false
    // once the user pressed Cancel (or closed the window).
    virtual bool Advance(int percent, const QString& message) = 0;
};

class Prompts;

// What a feature's dialog is shown with: the window it belongs to, the
// prompts for the messages it shows itself, and a store that keeps each
// dialog for the run, so its fields keep their values between uses.
class DialogHost {
public:
    DialogHost(QWidget* parent, Prompts& prompts, std::unordered_map<std::type_index, QPointer<QDialog>>& kept)
        : parent_(parent), prompts_(prompts), kept_(kept)
    {
    }

    QWidget* Parent() const { return parent_; }
    Prompts& Ask() const { return prompts_; }

    // The one dialog of that type, made on first use. A form is made with
    // (Prompts&, QWidget*) when it has such a constructor, else (QWidget*).
    template <typename Form>
    Form& Kept()
    {
        QPointer<QDialog>& slot = kept_[std::type_index(typeid(Form))];
        if (!slot) {
            if constexpr (std::is_constructible_v<Form, Prompts&, QWidget*>)
                slot = new Form(prompts_, parent_);
            else
                slot = new Form(parent_);
        }
        return static_cast<Form&>(*slot);
    }

private:
    QWidget* parent_;
    Prompts& prompts_;
    std::unordered_map<std::type_index, QPointer<QDialog>>& kept_;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon,
                                 PromptButtons buttons) = 0;
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
    // A run's progress window. Prompts that show nothing (a benchmark's)
    // keep this one, which shows nothing and never stops the run.
    virtual std::unique_ptr<ProgressWindow> ShowProgress(const ProgressRequest& request);

    // Shows the dialog of the question's feature; nothing on Cancel.
    template <typename Question>
    std::optional<typename Question::Answer> Ask(const Question& question)
    {
        using Answer = typename Question::Answer;
        const std::any answer = AskDialog(std::any(question), [&question](DialogHost& host) -> std::any {
            std::optional<Answer> shown = ShowDialog(question, host);
            return shown ? std::any(std::move(*shown)) : std::any();
        });
        if (!answer.has_value())
            return std::nullopt;
        return std::any_cast<Answer>(answer);
    }

    // What the top-level handler shows for a failure.
    void ShowError(const QString& text);

protected:
    using DialogRunner = std::function<std::any(DialogHost& host)>;
    // Answers `question` (a question object of some feature): the real
    // prompts run `show`, scripted ones answer from what a test queued.
    // An empty answer is Cancel.
    virtual std::any AskDialog(const std::any& question, const DialogRunner& show) = 0;
};

// Caption of the failure box shown by the top-level handler.
inline constexpr const char* kApplicationTitle = "Animora Pro";

} // namespace animora
