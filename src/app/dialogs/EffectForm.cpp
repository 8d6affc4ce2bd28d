#include "app/dialogs/EffectForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace animora {

namespace {

// Far more frames than any GIF the editor can hold in memory.
constexpr int kLargestNumber = 99999;

} // namespace

TEffectForm::TEffectForm(const Texts& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName(texts.objectName);
    setWindowTitle(texts.title);

    staticText1_ = new QLabel(texts.explanation, this);
    staticText1_->setObjectName("StaticText1");
    staticText1_->setAlignment(Qt::AlignCenter);
    staticText1_->setWordWrap(true);
    if (texts.framedExplanation) {
        staticText1_->setFrameShape(QFrame::Panel);
        staticText1_->setFrameShadow(QFrame::Sunken);
        staticText1_->setMargin(4);
    }

    firstFrame_ = NumberEdit("FirstFrame", 1);
    countFrame_ = NumberEdit("CountFrame", 3);
    numbers_ = new QFormLayout;
    numbers_->addRow("First frame", firstFrame_);
    numbers_->addRow("Count of frame", countFrame_);
    own_ = new QVBoxLayout;

    usePaslette_ = new QCheckBox("Use last frame palette", this);
    usePaslette_->setObjectName("UsePaslette");
    usePaslette_->setChecked(true);
    copyFrame_ = new QCheckBox(texts.copyCaption, this);
    copyFrame_->setObjectName("CopyFrame");

    button1_ = new QPushButton("Ok", this);
    button1_->setObjectName("Button1");
    button1_->setDefault(true);
    button2_ = new QPushButton("Cancel", this);
    button2_->setObjectName("Button2");
    connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
    connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button1_);
    buttons->addWidget(button2_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(staticText1_);
    layout->addLayout(numbers_);
    layout->addLayout(own_);
    layout->addWidget(usePaslette_);
    layout->addWidget(copyFrame_);
    layout->addLayout(buttons);
    setMinimumWidth(300);
}

QSpinBox* TEffectForm::NumberEdit(const char* name, int value)
{
    auto* edit = new QSpinBox(this);
    edit->setObjectName(name);
    edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edit->setRange(0, kLargestNumber);
    edit->setValue(value);
    return edit;
}

QGroupBox* TEffectForm::RadioPair(const char* groupName, QRadioButton*& first, const char* firstName,
                                  const char* firstCaption, QRadioButton*& second, const char* secondName,
                                  const char* secondCaption)
{
    auto* group = new QGroupBox(this);
    group->setObjectName(groupName);
    first = new QRadioButton(firstCaption, group);
    first->setObjectName(firstName);
    first->setChecked(true);
    second = new QRadioButton(secondCaption, group);
    second->setObjectName(secondName);
    auto* column = new QVBoxLayout(group);
    column->addWidget(first);
    column->addWidget(second);
    return group;
}

void TEffectForm::FillShared(effects::TEffectParams& params) const
{
    params.firstFrame = firstFrame_->value();
    params.frameCount = countFrame_->value();
    params.useLastFramePalette = usePaslette_->isChecked();
    params.copyFrame = copyFrame_->isChecked();
}

} // namespace animora
