#include "app/dialogs/CreateGIFForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace animora {

TCreateGIFForm::TCreateGIFForm(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
    setObjectName("CreateGIFForm");
    setWindowTitle("Create new GIF");
    frameCount_ = new QLineEdit("2", this);
    frameCount_->setObjectName("FrameCountEdit");
    frameWidth_ = new QLineEdit("100", this);
    frameWidth_->setObjectName("FrameWidthEdit");
    frameHeight_ = new QLineEdit("100", this);
    frameHeight_->setObjectName("FrameHeightEdit");

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QFormLayout(this);
    layout->addRow("Count of frame ", frameCount_);
    layout->addRow("Frame width", frameWidth_);
    layout->addRow("Frame height", frameHeight_);
    layout->addRow(buttons);
}

std::optional<CreateGifFields> ShowDialog(const CreateGifQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TCreateGIFForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Fields();
}

CreateGifFields TCreateGIFForm::Fields() const
{
    return {frameCount_->text(), frameWidth_->text(), frameHeight_->text()};
}

bool TCreateGIFForm::CountAllowsClosing()
{
    bool ok = false;
    const int count = frameCount_->text().trimmed().toInt(&ok);
    if (!ok) {
        prompts_.ShowError(QStringLiteral("'%1' is not a valid integer value").arg(frameCount_->text()));
        return false;
    }
    if (count < 1) {
        prompts_.Message("Frame count<1.", "Error!", PromptIcon::Information, PromptButtons::Ok);
        return false;
    }
    return true;
}

void TCreateGIFForm::done(int result)
{
    // Every way out reads the count first, Cancel and the close box included.
    if (CountAllowsClosing())
        QDialog::done(result);
}

} // namespace animora
