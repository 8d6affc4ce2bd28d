#include "app/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "app/dialogs/CreateGIFForm.h"
#include "app/dialogs/SaveJPEGForm.h"

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
    delete createForm_;
    delete jpegForm_;
    delete optionForm_;
}

void QtPrompts::SetParentWindow(QWidget* window)
{
    parent_ = window;
    delete createForm_;
    delete jpegForm_;
    delete optionForm_;
    createForm_ = new TCreateGIFForm(*this, window);
    jpegForm_ = new TSaveJPEGForm(window);
    optionForm_ = new TOptionForm(window);
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

std::optional<CreateGifFields> QtPrompts::AskCreateGif()
{
    ArrowWhileAsking arrow;
    if (!createForm_ || createForm_->exec() != QDialog::Accepted)
        return std::nullopt;
    return createForm_->Fields();
}

std::optional<QSize> QtPrompts::AskFrameSize(QSize current)
{
    ArrowWhileAsking arrow;
    if (!optionForm_)
        return std::nullopt;
    optionForm_->SetFrameSize(current.width(), current.height());
    if (optionForm_->exec() != QDialog::Accepted)
        return std::nullopt;
    return QSize(optionForm_->FrameWidth(), optionForm_->FrameHeight());
}

std::optional<JpegSaveOptions> QtPrompts::AskJpegOptions()
{
    ArrowWhileAsking arrow;
    if (!jpegForm_ || jpegForm_->exec() != QDialog::Accepted)
        return std::nullopt;
    return jpegForm_->Options();
}

} // namespace animora
