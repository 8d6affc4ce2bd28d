#include "app/dialogs/FramePairForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace animora {

namespace {

template <typename Form>
std::optional<FramePairFields> AskPair(DialogHost& host)
{
    auto& form = host.Kept<Form>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Fields();
}

} // namespace

std::optional<FramePairFields> ShowDialog(const ExchangeQuestion&, DialogHost& host)
{
    return AskPair<TExchangePlaceForm>(host);
}

std::optional<FramePairFields> ShowDialog(const MoveFrameQuestion&, DialogHost& host)
{
    return AskPair<TMoveFrameForm>(host);
}

TFramePairForm::TFramePairForm(const Layout& layout, QWidget* parent) : QDialog(parent)
{
    setObjectName(layout.objectName);
    setWindowTitle(QString::fromLatin1(layout.caption));
    first_ = new QLineEdit(QString::fromLatin1(layout.initial), this);
    first_->setObjectName(layout.firstName);
    second_ = new QLineEdit(QString::fromLatin1(layout.initial), this);
    second_->setObjectName(layout.secondName);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QString::fromLatin1(layout.firstLabel), first_);
    form->addRow(QString::fromLatin1(layout.secondLabel), second_);
    form->addRow(buttons);
}

FramePairFields TFramePairForm::Fields() const
{
    return {first_->text(), second_->text()};
}

TExchangePlaceForm::TExchangePlaceForm(QWidget* parent)
    : TFramePairForm({"ExchangePlaceForm", "Exchange place", "FirstFrameEdit", "First frame", "SecondFrameEdit",
                      "Second frame", "1"},
                     parent)
{
}

// The move dialog starts at 0, which no frame has: OK without typing is
// answered with the range message.
TMoveFrameForm::TMoveFrameForm(QWidget* parent)
    : TFramePairForm({"MoveFrameForm", "Move frame", "CurrentEdit", "Current position", "NewEdit", "New position", "0"},
                     parent)
{
}

} // namespace animora
