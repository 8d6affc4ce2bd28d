#include "app/dialogs/OptionForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace animora {

namespace {

// A GIF frame is at most 65535 pixels either way.
QSpinBox* SizeEdit(const char* name, QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(name);
    edit->setRange(1, 65535);
    return edit;
}

} // namespace

std::optional<QSize> ShowDialog(const FrameSizeQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TOptionForm>();
    form.SetFrameSize(question.current.width(), question.current.height());
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return QSize(form.FrameWidth(), form.FrameHeight());
}

TOptionForm::TOptionForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("OptionForm");
    setWindowTitle("Option of frame");
    editWidth_ = SizeEdit("EditWidth", this);
    editHeight_ = SizeEdit("EditHeight", this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Ok", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow("Frame width", editWidth_);
    layout->addRow("Frame height", editHeight_);
    layout->addRow(buttons);
}

void TOptionForm::SetFrameSize(int width, int height)
{
    editWidth_->setValue(width);
    editHeight_->setValue(height);
}

int TOptionForm::FrameWidth() const { return editWidth_->value(); }
int TOptionForm::FrameHeight() const { return editHeight_->value(); }

} // namespace animora
