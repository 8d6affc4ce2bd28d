#include "app/dialogs/TextForm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace animora {

QPoint TextChoice::ShadowPoint(QPoint at) const
{
    const int d = displacement;
    switch (shadowPosition) {
    case 1: return at + QPoint(d, -d);
    case 2: return at + QPoint(d, d);
    case 3: return at + QPoint(-d, d);
    default: return at + QPoint(-d, -d);
    }
}

std::optional<TextChoice> ShowDialog(const TextQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TTextForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Choice();
}

std::optional<QColor> ShowDialog(const ColorQuestion& question, DialogHost& host)
{
    const QColor chosen = QColorDialog::getColor(question.initial, host.Parent());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

TTextForm::TTextForm(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName("TextForm");
    setWindowTitle("Text");
    textEdit_ = new QLineEdit("Simple", this);
    textEdit_->setObjectName("TextEdit");
    sample_ = new QLabel("Simple", this);
    sample_->setObjectName("SimpleLabel");
    sample_->setMinimumHeight(40);
    connect(textEdit_, &QLineEdit::textChanged, sample_, &QLabel::setText);
    auto* fontButton = new QPushButton("Font", this);
    fontButton->setObjectName("Button3");
    connect(fontButton, &QPushButton::clicked, this, &TTextForm::ChooseFont);
    // The desktop's font dialog has no colour of its own, so the text colour
    // has a button beside it.
    auto* colorButton = new QPushButton("Color", this);
    colorButton->setObjectName("TextColorButton");
    connect(colorButton, &QPushButton::clicked, this, [this] {
        if (const auto color = prompts_.Ask(ColorQuestion{sample_->palette().color(QPalette::WindowText)})) {
            QPalette palette = sample_->palette();
            palette.setColor(QPalette::WindowText, *color);
            sample_->setPalette(palette);
        }
    });

    auto* group = new QGroupBox("Shadow", this);
    shadow_ = new QCheckBox("Shadow", group);
    shadow_->setObjectName("ShadowCB");
    shadow_->setChecked(true);
    position_ = new QComboBox(group);
    position_->setObjectName("PosComboBox");
    position_->addItems({"Left-Top", "Right-Top", "Right-Bottom", "Left-Bottom"});
    displacement_ = new QLineEdit("1", group);
    displacement_->setObjectName("DispEdit");
    shadowSwatch_ = new QFrame(group);
    shadowSwatch_->setObjectName("Shape1");
    shadowSwatch_->setFixedSize(24, 16);
    shadowSwatch_->setFrameShape(QFrame::Box);
    shadowSwatch_->setAutoFillBackground(true);
    SetShadowColor(Qt::white);
    auto* change = new QPushButton("Change", group);
    change->setObjectName("ChangeColorBtn");
    connect(change, &QPushButton::clicked, this, &TTextForm::ChooseShadowColor);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(shadowSwatch_);
    colorRow->addWidget(change);
    auto* shadowLayout = new QFormLayout(group);
    shadowLayout->addRow(shadow_);
    shadowLayout->addRow("Position", position_);
    shadowLayout->addRow("Displacement", displacement_);
    shadowLayout->addRow("Color", colorRow);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* textRow = new QFormLayout;
    textRow->addRow("Text", textEdit_);
    layout->addLayout(textRow);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(sample_, 1);
    sampleRow->addWidget(fontButton);
    sampleRow->addWidget(colorButton);
    layout->addLayout(sampleRow);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TTextForm::ChooseFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, sample_->font(), this);
    if (ok)
        sample_->setFont(font);
}

void TTextForm::ChooseShadowColor()
{
    if (const auto color = prompts_.Ask(ColorQuestion{shadowColor_}))
        SetShadowColor(*color);
}

void TTextForm::SetShadowColor(const QColor& color)
{
    shadowColor_ = color;
    QPalette palette = shadowSwatch_->palette();
    palette.setColor(QPalette::Window, color);
    shadowSwatch_->setPalette(palette);
}

TextChoice TTextForm::Choice() const
{
    TextChoice choice;
    choice.text = textEdit_->text();
    choice.font = sample_->font();
    choice.color = sample_->palette().color(QPalette::WindowText);
    choice.shadow = shadow_->isChecked();
    choice.shadowPosition = position_->currentIndex();
    bool ok = false;
    const int displacement = displacement_->text().trimmed().toInt(&ok);
    if (!ok && choice.shadow)
        prompts_.ShowError(QStringLiteral("'%1' is not a valid integer value").arg(displacement_->text()));
    choice.displacement = ok ? displacement : 0;
    choice.shadowColor = shadowColor_;
    return choice;
}

} // namespace animora
