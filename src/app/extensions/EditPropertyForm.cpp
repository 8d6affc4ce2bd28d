#include "app/extensions/EditPropertyForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace animora {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("Button1");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("Button2");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

// "Previuos" is the name users have always seen for disposal 3.
const QStringList& DisposalNames()
{
    static const QStringList names = {"None specified", "Do not dispose", "Background", "Previuos"};
    return names;
}

PropertyEditor EditorFor(const QString& property)
{
    if (property == "Disposal")
        return PropertyEditor::Disposal;
    if (property == "Transparent" || property == "Prompt")
        return PropertyEditor::YesNo;
    if (property == "TransparentColor" || property == "Loops" || property == "Delay")
        return PropertyEditor::Integer;
    return PropertyEditor::None;
}

std::optional<QString> ShowDialog(const EditPropertyQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TEditPropertyForm>();
    form.Present(question.property, question.value);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Value();
}

TEditPropertyForm::TEditPropertyForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("EditPropertyForm");
    setWindowTitle("Edit property");
    auto* label1 = new QLabel("Property:", this);
    label1->setObjectName("Label1");
    propertyName_ = new QLabel(this);
    propertyName_->setObjectName("PropertyName");
    auto* label2 = new QLabel("Value", this);
    label2->setObjectName("Label2");
    disposal_ = new QComboBox(this);
    disposal_->setObjectName("DispComboBox");
    disposal_->addItems(DisposalNames());
    yesNo_ = new QComboBox(this);
    yesNo_->setObjectName("ValueComboBox");
    yesNo_->addItems({"Yes", "No"});
    edit_ = new QLineEdit(this);
    edit_->setObjectName("EditValue");
    // A sign is let through so that a negative number gets its own refusal.
    edit_->setValidator(new QIntValidator(edit_));
    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(propertyName_, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(disposal_, 1, 1);
    grid->addWidget(yesNo_, 1, 1);
    grid->addWidget(edit_, 1, 1);
    grid->addWidget(OkCancel(this), 2, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 160);
}

void TEditPropertyForm::Present(const QString& property, const QString& value)
{
    editor_ = EditorFor(property);
    propertyName_->setText(property);
    disposal_->setVisible(editor_ == PropertyEditor::Disposal);
    yesNo_->setVisible(editor_ == PropertyEditor::YesNo);
    edit_->setVisible(editor_ == PropertyEditor::Integer);
    // A reserved disposal value has no name: nothing is chosen, and Ok
    // keeps the value.
    disposal_->setCurrentIndex(int(DisposalNames().indexOf(value)));
    yesNo_->setCurrentIndex(value == "Yes" ? 0 : 1);
    edit_->setText(value);
}

QString TEditPropertyForm::Value() const
{
    switch (editor_) {
    case PropertyEditor::Disposal: return disposal_->currentIndex() < 0 ? QString() : disposal_->currentText();
    case PropertyEditor::YesNo: return yesNo_->currentText();
    case PropertyEditor::Integer: return edit_->text();
    case PropertyEditor::None: break;
    }
    return QString();
}

std::optional<NewExtensionKind> ShowDialog(const ExtensionTypeQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TExtensType>();
    form.Present(question.offerLoop);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Kind();
}

TExtensType::TExtensType(QWidget* parent) : QDialog(parent)
{
    setObjectName("ExtensType");
    setWindowTitle("Extension type ");
    comment_ = new QRadioButton("Comment Extension", this);
    comment_->setObjectName("CommentRB");
    graphicControl_ = new QRadioButton("Graphic Control Extension", this);
    graphicControl_->setObjectName("GraphContrExt");
    loop_ = new QRadioButton("Netscape Loop Extension", this);
    loop_->setObjectName("NetscapeLoop");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(comment_);
    layout->addWidget(graphicControl_);
    layout->addWidget(loop_);
    layout->addWidget(OkCancel(this));
}

void TExtensType::Present(bool offerLoop)
{
    comment_->setChecked(true);
    loop_->setVisible(offerLoop);
}

NewExtensionKind TExtensType::Kind() const
{
    if (graphicControl_->isChecked())
        return NewExtensionKind::GraphicControl;
    if (loop_->isChecked() && !loop_->isHidden())
        return NewExtensionKind::NetscapeLoop;
    return NewExtensionKind::Comment;
}

} // namespace animora
