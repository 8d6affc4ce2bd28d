#include "app/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>


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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace animora
