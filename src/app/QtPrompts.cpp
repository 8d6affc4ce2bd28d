#include "app/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>

#include "app/BusyCursor.h"


namespace animora {

namespace {

// A question asked in the middle of long work (a warning while loading)
// must not show the hourglass over its buttons.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;
};

// The progress of a video import or export. Application-modal: while it is
// up, no window of the editor takes input, so the project cannot be closed
// or changed under the run; Cancel, Escape and the close box all stop it.
class QtProgressWindow : public ProgressWindow {
public:
    QtProgressWindow(QWidget* parent, const ProgressRequest& request)
        : dialog_(request.text, QStringLiteral("Cancel"), 0, 100, parent)
    {
        dialog_.setObjectName("ProgressWindow");
        dialog_.setWindowTitle(request.caption);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumWidth(360);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoReset(false);
        dialog_.setAutoClose(false);
        dialog_.setValue(0);
        dialog_.show();
        QApplication::processEvents();
    }

    bool Advance(int percent, const QString& message) override
    {
        if (!message.isEmpty() && message != dialog_.labelText())
            dialog_.setLabelText(message);
        if (percent != dialog_.value())
            dialog_.setValue(percent);
        QApplication::processEvents();
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
    // The arrow with the hourglass: the editor still answers (Cancel).
    BusyCursor busy_{Qt::BusyCursor};
};

// "MP4 video (*.mp4)" gives "mp4"; nothing for "All files (*.*)".
QString FirstSuffixOf(const QString& qtFilter)
{
    const int star = qtFilter.indexOf("*.");
    if (star < 0)
        return QString();
    QString suffix;
    for (int i = star + 2; i < qtFilter.size() && qtFilter[i].isLetterOrNumber(); ++i)
        suffix += qtFilter[i];
    return suffix;
}

} // namespace

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        // Qt reads the patterns from the last parentheses, so a name that
        // lists them already gives its list up for Qt's.
        QString name = parts[i];
        if (name.endsWith(')') && name.contains(" ("))
            name = name.left(name.lastIndexOf(" ("));
        entries << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return entries.join(";;");
}

QtPrompts::QtPrompts() = default;

QtPrompts::~QtPrompts()
{
    DropDialogs();
}

void QtPrompts::DropDialogs()
{
    for (auto& [type, dialog] : dialogs_)
        delete dialog;
    dialogs_.clear();
}

void QtPrompts::SetParentWindow(QWidget* window)
{
    DropDialogs();
    parent_ = window;
}

std::any QtPrompts::AskDialog(const std::any&, const DialogRunner& show)
{
    ArrowWhileAsking arrow;
    DialogHost host(parent_, *this, dialogs_);
    return show(host);
}

PromptAnswer QtPrompts::Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons)
{
    ArrowWhileAsking arrow;
    QMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QList<std::pair<QAbstractButton*, PromptAnswer>> answers;
    auto add = [&](QMessageBox::StandardButton button, PromptAnswer answer) {
        answers.append({box.addButton(button), answer});
    };
    PromptAnswer escape = PromptAnswer::Cancel;
    switch (buttons) {
    case PromptButtons::Ok:
        add(QMessageBox::Ok, PromptAnswer::Ok);
        escape = PromptAnswer::Ok;
        break;
    case PromptButtons::OkCancel:
        add(QMessageBox::Ok, PromptAnswer::Ok);
        add(QMessageBox::Cancel, PromptAnswer::Cancel);
        break;
    case PromptButtons::YesNoCancel:
        add(QMessageBox::Yes, PromptAnswer::Yes);
        add(QMessageBox::No, PromptAnswer::No);
        add(QMessageBox::Cancel, PromptAnswer::Cancel);
        break;
    case PromptButtons::AbortIgnoreAll:
        add(QMessageBox::Abort, PromptAnswer::Abort);
        add(QMessageBox::Ignore, PromptAnswer::Ignore);
        answers.append({box.addButton("All", QMessageBox::AcceptRole), PromptAnswer::All});
        escape = PromptAnswer::Abort;
        break;
    }
    box.exec();
    for (const auto& [button, answer] : answers)
        if (box.clickedButton() == button)
            return answer;
    return escape;
}

std::optional<QString> QtPrompts::OpenFileName(const FileDialogRequest& request)
{
    ArrowWhileAsking arrow;
    const QString path = QFileDialog::getOpenFileName(parent_, QString(), QString(), QtFileFilter(request.filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtPrompts::SaveFileName(const FileDialogRequest& request)
{
    ArrowWhileAsking arrow;
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFileFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    // A name typed without an extension takes the chosen kind's ("clip"
    // under MP4 video is clip.mp4).
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = FirstSuffixOf(filter);
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::unique_ptr<ProgressWindow> QtPrompts::ShowProgress(const ProgressRequest& request)
{
    return std::make_unique<QtProgressWindow>(parent_, request);
}

} // namespace animora
