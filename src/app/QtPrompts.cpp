#include "app/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "app/dialogs/CreateGIFForm.h"
#include "app/dialogs/SaveJPEGForm.h"

namespace animora {

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return entries.join(";;");
}

QtPrompts::QtPrompts() = default;

QtPrompts::~QtPrompts()
{
    delete createForm_;
    delete jpegForm_;
}

void QtPrompts::SetParentWindow(QWidget* window)
{
    parent_ = window;
    delete createForm_;
    delete jpegForm_;
    createForm_ = new TCreateGIFForm(*this, window);
    jpegForm_ = new TSaveJPEGForm(window);
}

PromptAnswer QtPrompts::Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons)
{
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
    const QString path = QFileDialog::getOpenFileName(parent_, QString(), QString(), QtFileFilter(request.filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtPrompts::SaveFileName(const FileDialogRequest& request)
{
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
    if (!createForm_ || createForm_->exec() != QDialog::Accepted)
        return std::nullopt;
    return createForm_->Fields();
}

std::optional<JpegSaveOptions> QtPrompts::AskJpegOptions()
{
    if (!jpegForm_ || jpegForm_->exec() != QDialog::Accepted)
        return std::nullopt;
    return jpegForm_->Options();
}

} // namespace animora
