#include "app/wizard/GIFWizardForm.h"

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/BusyCursor.h"
#include "app/CommandGuard.h"
#include "app/Project.h"
#include "app/commands/FileCommands.h"
#include "app/dialogs/OpenPictureDialog.h"
#include "app/dialogs/TextForm.h"
#include "effects/Effects.h"
#include "qtbridge/QtBitmap.h"
#include "widgets/LabelEffect.h"

namespace animora {

const char* const kWizardPictureFilter =
    "All (*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
    "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";

namespace {

constexpr const char* kDefaultBackgroundName = "Marble.bmp";

// A number field: text that is not an integer counts as 0.
int FieldValue(const QLineEdit* edit)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, int value)
{
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(80);
    return edit;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption, bool checked)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    radio->setChecked(checked);
    return radio;
}

// A page: its heading in bold, then its controls.
QWidget* NewPage(const char* name, const char* labelName, const char* heading, QVBoxLayout*& layout)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    layout = new QVBoxLayout(page);
    auto* label = new QLabel(heading, page);
    label->setObjectName(labelName);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    return page;
}

// Two radio buttons of one choice in a group box, the first one chosen.
QGroupBox* RadioPair(QWidget* parent, QRadioButton*& first, const char* firstName, const char* firstCaption,
                     QRadioButton*& second, const char* secondName, const char* secondCaption)
{
    auto* group = new QGroupBox(parent);
    auto* layout = new QHBoxLayout(group);
    first = Radio(group, firstName, firstCaption, true);
    second = Radio(group, secondName, secondCaption, false);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch(1);
    return group;
}

// The decorative picture of the left panel: a dusk sky over hills.
QPixmap PanelPicture(QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(18, 32, 86));
    sky.setColorAt(0.6, QColor(64, 110, 170));
    sky.setColorAt(1.0, QColor(250, 190, 110));
    painter.fillRect(picture.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 170));
    painter.drawEllipse(QPointF(size.width() * 0.7, size.height() * 0.2), 14, 14);
    const QColor hills[] = {QColor(40, 70, 60), QColor(24, 48, 40)};
    for (int i = 0; i < 2; ++i) {
        painter.setBrush(hills[i]);
        const qreal base = size.height() * (0.8 + 0.1 * i);
        painter.drawEllipse(QPointF(size.width() * (i == 0 ? 0.2 : 0.9), base + 40), size.width() * 0.8, 60);
    }
    return picture;
}

QString FontDescription(const QFont& font)
{
    return QStringLiteral("%1, %2 pt").arg(font.family()).arg(font.pointSize());
}

} // namespace

std::optional<QFont> ShowDialog(const WizardFontQuestion& question, DialogHost& host)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, question.current, host.Parent(), QStringLiteral("Font"));
    if (!ok)
        return std::nullopt;
    return font;
}

QString WizardImageFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Image"));
}

QString DefaultWizardBackground()
{
    const QString path = QDir(WizardImageFolder()).filePath(QLatin1String(kDefaultBackgroundName));
    return QFileInfo(path).isFile() ? path : QString();
}

void RunGIFWizard(Project& project, QWidget* parent)
{
    project.RequestStop();
    TGIFWizardForm wizard(project, parent);
    wizard.exec();
}

// --- the full view -----------------------------------------------------------------------

TPreviewWizForm::TPreviewWizForm(const QImage& picture, QWidget* parent) : QDialog(parent)
{
    setObjectName("PreviewWizForm");
    setWindowTitle("Preview");
    auto* layout = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    image1_ = new QLabel;
    image1_->setObjectName("Image1");
    image1_->setPixmap(QPixmap::fromImage(picture));
    image1_->resize(picture.size());
    scroll->setWidget(image1_);
    scroll->setAlignment(Qt::AlignCenter);
    layout->addWidget(scroll);
    resize(std::min(picture.width() + 40, 900), std::min(picture.height() + 40, 700));
}

// --- the wizard ----------------------------------------------------------------------------

TGIFWizardForm::TGIFWizardForm(Project& project, QWidget* parent)
    : QDialog(parent), project_(project), rainSeed_(effects::ClockSeed())
{
    setObjectName("GIFWizardForm");
    setWindowTitle("Zelqo GIF Wizard");
    auto* outer = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    outer->addLayout(body);

    // The left panel: the picture with the caption over it, turned upright.
    auto* panel2 = new QLabel(this);
    panel2->setObjectName("Panel2");
    panel2->setFixedSize(110, 330);
    panel2->setPixmap(PanelPicture(panel2->size()));
    title_ = new TLabelEffect("GIF Wizard", panel2);
    title_->setObjectName("LabelEffect1");
    QFont titleFont(QStringLiteral("DejaVu Serif"), 26);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    title_->SetColourScheme(csGold);
    title_->SetEffectStyle(esRaised);
    title_->SetDepthShadow(2);
    title_->SetAngle(90);
    title_->SetAutoSize(true);
    title_->adjustSize();
    title_->move((panel2->width() - title_->width()) / 2, panel2->height() - title_->height() - 20);
    body->addWidget(panel2, 0, Qt::AlignTop);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName("Pages");
    pages_->addWidget(BuildBackgroundPage());
    pages_->addWidget(BuildTextPage());
    pages_->addWidget(BuildEffectPage());
    pages_->addWidget(BuildFallWallPage());
    pages_->addWidget(BuildRainPage());
    pages_->addWidget(BuildMoveApartPage());
    pages_->addWidget(BuildLinesPage());
    body->addWidget(pages_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    backButton_ = new QPushButton("Back", this);
    backButton_->setObjectName("BackButton");
    nextButton_ = new QPushButton("Next", this);
    nextButton_->setObjectName("NextButton");
    nextButton_->setDefault(true);
    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("CancelButton");
    buttons->addWidget(backButton_);
    buttons->addWidget(nextButton_);
    buttons->addSpacing(12);
    buttons->addWidget(cancelButton_);
    outer->addLayout(buttons);
    connect(backButton_, &QPushButton::clicked, this, &TGIFWizardForm::BackButtonClick);
    connect(nextButton_, &QPushButton::clicked, this, &TGIFWizardForm::NextButtonClick);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // FormShow: the first page, Back disabled, FallCB on its first item.
    ShowPage(Page("Panel3"));
    backButton_->setEnabled(false);
    fallCB_->setCurrentIndex(0);
    resize(560, 400);
}

TGIFWizardForm::~TGIFWizardForm() = default;

QWidget* TGIFWizardForm::BuildBackgroundPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel3", "Label1", "Select gif background:", layout);
    auto* path = new QHBoxLayout;
    backGroundEdit_ = new QLineEdit(DefaultWizardBackground(), page);
    backGroundEdit_->setObjectName("BackGroundEdit");
    auto* choseBack = new QPushButton("...", page);
    choseBack->setObjectName("ChoseBack");
    choseBack->setToolTip("Choose a background picture");
    choseBack->setFixedWidth(32);
    path->addWidget(backGroundEdit_, 1);
    path->addWidget(choseBack);
    layout->addLayout(path);
    connect(choseBack, &QPushButton::clicked, this, &TGIFWizardForm::ChoseBackClick);

    useBackParam_ = CheckBox(page, "UseBackParam", "Use background params", true);
    layout->addWidget(useBackParam_);
    auto* fields = new QFormLayout;
    editWidth_ = NumberEdit(page, "EditWidth", 150);
    editHeight_ = NumberEdit(page, "EditHeight", 100);
    editN1_ = NumberEdit(page, "EditN1", 100);
    editCount_ = NumberEdit(page, "EditCount", 10);
    loopCheckBox_ = CheckBox(page, "LoopCheckBox", "Loop", false);
    fields->addRow("Width", editWidth_);
    fields->addRow("Height", editHeight_);
    fields->addRow("Delay", editN1_);
    fields->addRow("Count of frame", editCount_);
    fields->addRow(QString(), loopCheckBox_);
    layout->addLayout(fields);
    layout->addStretch(1);
    // UseBackParamClick: the size boxes count only without the background's own size.
    const auto sizeBoxes = [this](bool useBackground) {
        editWidth_->setEnabled(!useBackground);
        editHeight_->setEnabled(!useBackground);
    };
    connect(useBackParam_, &QCheckBox::toggled, this, sizeBoxes);
    sizeBoxes(true);
    return page;
}

QWidget* TGIFWizardForm::BuildTextPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel4", "Label5", "GIF Text", layout);
    editText_ = new QLineEdit(page);
    editText_->setObjectName("EditText");
    layout->addWidget(editText_);

    auto* row = new QHBoxLayout;
    auto* selectFont = new QPushButton("Select font", page);
    selectFont->setObjectName("SelectFont");
    auto* selectColor = new QPushButton("Color", page);
    selectColor->setObjectName("SelectColor");
    label6_ = new QLabel("Example", page);
    label6_->setObjectName("Label6");
    label6_->setVisible(false);
    fontName_ = new QLabel(page);
    fontName_->setObjectName("FontName");
    leftPos_ = NumberEdit(page, "LeftPos", 2);
    topEdit_ = NumberEdit(page, "TopEdit", 2);
    leftPos_->setMaximumWidth(50);
    topEdit_->setMaximumWidth(50);
    auto* viewButton = new QPushButton("View", page);
    viewButton->setObjectName("ViewButton");
    row->addWidget(selectFont);
    row->addWidget(selectColor);
    row->addWidget(new QLabel("Left", page));
    row->addWidget(leftPos_);
    row->addWidget(new QLabel("Top", page));
    row->addWidget(topEdit_);
    row->addWidget(viewButton);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(fontName_);
    connect(selectFont, &QPushButton::clicked, this, &TGIFWizardForm::SelectFontClick);
    connect(selectColor, &QPushButton::clicked, this, &TGIFWizardForm::SelectColorClick);
    connect(viewButton, &QPushButton::clicked, this, [this] { ShowPreview(true); });

    scrollBox_ = new QScrollArea(page);
    scrollBox_->setObjectName("ScrollBox1");
    previewImage_ = new QLabel;
    previewImage_->setObjectName("PreviewImage");
    previewImage_->installEventFilter(this);
    scrollBox_->setWidget(previewImage_);
    layout->addWidget(scrollBox_, 1);
    auto* hint = new QLabel("Double click on image for full view", page);
    hint->setObjectName("Label14");
    layout->addWidget(hint);

    const wizard::TWizardFont initial;
    QFont font(QString::fromStdString(initial.family), initial.pointSize);
    SetTextFont(font);
    SetTextColor(Qt::black);
    return page;
}

QWidget* TGIFWizardForm::BuildEffectPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel5", "Label15", "Effect", layout);
    auto* group = new QGroupBox("Select effect:", page);
    group->setObjectName("SelectEffect");
    auto* radios = new QVBoxLayout(group);
    noneRB_ = Radio(group, "NoneRB", "None", true);
    fallWallRB_ = Radio(group, "FallWallRB", "Fall wall", false);
    rainRB_ = Radio(group, "RainRB", "Rain", false);
    moveApartRB_ = Radio(group, "MoveApartRB", "Move apart", false);
    linesRB_ = Radio(group, "LinesRB", "Lines", false);
    for (QRadioButton* radio : {noneRB_, fallWallRB_, rainRB_, moveApartRB_, linesRB_})
        radios->addWidget(radio);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* TGIFWizardForm::BuildFallWallPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel6", "Label7", "Effect option (Fall wall)", layout);
    fallCB_ = new QComboBox(page);
    fallCB_->setObjectName("FallCB");
    fallCB_->addItems({"Up to Down", "Down to  Up", "Left to Right", "Right to Left"});
    layout->addWidget(fallCB_);
    usePaslette_ = CheckBox(page, "UsePaslette", "Use last frame palette", true);
    copyFrame_ = CheckBox(page, "CopyFrame", "Copy first frame to all effected frame", false);
    unfold_ = CheckBox(page, "Unfold", "Unfold ", false);
    scaleCB_ = CheckBox(page, "ScaleCB", "Scale", false);
    fullRound_ = CheckBox(page, "FullRound", "Full round", false);
    for (QCheckBox* box : {usePaslette_, copyFrame_, unfold_, scaleCB_, fullRound_})
        layout->addWidget(box);
    // Squeezing ignores Unfold, as in the Fall wall dialog.
    connect(scaleCB_, &QCheckBox::toggled, unfold_, [this](bool scale) { unfold_->setEnabled(!scale); });
    layout->addStretch(1);
    return page;
}

QWidget* TGIFWizardForm::BuildRainPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel7", "Label8", "Effect option (Rain)", layout);
    rainUsePal_ = CheckBox(page, "RainUsePal", "Use last frame palette", true);
    rainCopyFrame_ = CheckBox(page, "RainCopyFrame", "Copy first frame to all effected frame", false);
    layout->addWidget(rainUsePal_);
    layout->addWidget(rainCopyFrame_);
    layout->addStretch(1);
    return page;
}

QWidget* TGIFWizardForm::BuildMoveApartPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel8", "Label9", "Effect option (Move apart)", layout);
    layout->addWidget(RadioPair(page, horizontal_, "Horizontal", "Horizontal", vertical_, "Vertical", "Vertical"));
    layout->addWidget(
        RadioPair(page, increaseButton_, "IncreaseButton", "Increase ", diminishButton_, "DiminishButton", "Diminish "));
    moveApartUsePal_ = CheckBox(page, "MoveApartUsePal", "Use last frame palette", true);
    moveApartCopyFrame_ = CheckBox(page, "MoveApartCopyFrame", "Copy first frame to all", false);
    scale_ = CheckBox(page, "Scale", "Scale", false);
    for (QCheckBox* box : {moveApartUsePal_, moveApartCopyFrame_, scale_})
        layout->addWidget(box);
    layout->addStretch(1);
    return page;
}

QWidget* TGIFWizardForm::BuildLinesPage()
{
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewPage("Panel9", "Label10", "Effect option (lines)", layout);
    auto* count = new QFormLayout;
    editLines_ = NumberEdit(page, "EditLines", 5);
    count->addRow("Count of lines:", editLines_);
    layout->addLayout(count);
    linesPallette_ = CheckBox(page, "LinesPallette", "Use last frame palette", true);
    linesCopyFrame_ = CheckBox(page, "LinesCopyFrame", "Copy last frame to all", true);
    layout->addWidget(linesPallette_);
    layout->addWidget(linesCopyFrame_);
    layout->addWidget(RadioPair(page, horiz_, "Horiz", "Horizontal", vert_, "Vert", "Vertical"));
    layout->addStretch(1);
    return page;
}

QWidget* TGIFWizardForm::Page(const char* name) const
{
    return pages_->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QWidget* TGIFWizardForm::CurrentPage() const
{
    return pages_->currentWidget();
}

void TGIFWizardForm::ShowPage(QWidget* page)
{
    pages_->setCurrentWidget(page);
}

QWidget* TGIFWizardForm::OptionPage() const
{
    if (fallWallRB_->isChecked())
        return Page("Panel6");
    if (rainRB_->isChecked())
        return Page("Panel7");
    if (moveApartRB_->isChecked())
        return Page("Panel8");
    if (linesRB_->isChecked())
        return Page("Panel9");
    return nullptr;
}

void TGIFWizardForm::NextButtonClick()
{
    QWidget* page = CurrentPage();
    const QString name = page->objectName();
    if (name == "Panel3") {
        ShowPage(Page("Panel4"));
        backButton_->setEnabled(true);
        ShowPreview(false);
    } else if (name == "Panel4") {
        ShowPage(Page("Panel5"));
    } else if (name == "Panel5") {
        if (QWidget* options = OptionPage())
            ShowPage(options);
        else
            Finish();
    } else {
        Finish();
    }
}

void TGIFWizardForm::BackButtonClick()
{
    const QString name = CurrentPage()->objectName();
    if (name == "Panel4") {
        ShowPage(Page("Panel3"));
        backButton_->setEnabled(false);
    } else if (name == "Panel5") {
        ShowPage(Page("Panel4"));
        nextButton_->setEnabled(true);
    } else if (name != "Panel3") {
        ShowPage(Page("Panel5"));
        cancelButton_->setText("Cancel");
    }
}

void TGIFWizardForm::ChoseBackClick()
{
    const auto path = project_.Ask().Ask(
        OpenPictureQuestion{QString::fromLatin1(kWizardPictureFilter), WizardImageFolder()});
    if (path)
        backGroundEdit_->setText(*path);
}

void TGIFWizardForm::SelectFontClick()
{
    if (const auto font = project_.Ask().Ask(WizardFontQuestion{TextFont()}))
        SetTextFont(*font);
}

void TGIFWizardForm::SelectColorClick()
{
    if (const auto color = project_.Ask().Ask(ColorQuestion{TextColor()}))
        SetTextColor(*color);
}

QFont TGIFWizardForm::TextFont() const
{
    return label6_->font();
}

void TGIFWizardForm::SetTextFont(const QFont& font)
{
    label6_->setFont(font);
    fontName_->setText(FontDescription(font));
}

QColor TGIFWizardForm::TextColor() const
{
    return label6_->palette().color(QPalette::WindowText);
}

void TGIFWizardForm::SetTextColor(const QColor& color)
{
    QPalette palette = label6_->palette();
    palette.setColor(QPalette::WindowText, color);
    label6_->setPalette(palette);
    QPalette shown = fontName_->palette();
    shown.setColor(QPalette::WindowText, color);
    fontName_->setPalette(shown);
}

wizard::TWizardChoices TGIFWizardForm::Choices() const
{
    wizard::TWizardChoices choices;
    choices.background = backGroundEdit_->text().trimmed().toStdString();
    choices.useBackgroundSize = useBackParam_->isChecked();
    choices.width = FieldValue(editWidth_);
    choices.height = FieldValue(editHeight_);
    choices.delayMs = FieldValue(editN1_);
    choices.loop = loopCheckBox_->isChecked();
    choices.frameCount = FieldValue(editCount_);

    choices.text = editText_->text().toStdString();
    const QFont font = TextFont();
    choices.font.family = font.family().toStdString();
    // A font given in pixels is turned into points at 96 dots per inch.
    choices.font.pointSize = font.pointSize() > 0 ? font.pointSize() : std::max(1, font.pixelSize() * 72 / 96);
    choices.font.bold = font.bold();
    choices.font.italic = font.italic();
    choices.font.underline = font.underline();
    choices.font.strikeOut = font.strikeOut();
    choices.color = ColorFromQt(TextColor());
    choices.left = FieldValue(leftPos_);
    choices.top = FieldValue(topEdit_);

    choices.effect = fallWallRB_->isChecked()    ? wizard::weFallWall
                     : rainRB_->isChecked()      ? wizard::weRain
                     : moveApartRB_->isChecked() ? wizard::weMoveApart
                     : linesRB_->isChecked()     ? wizard::weLines
                                                 : wizard::weNone;
    choices.fallWall.direction = static_cast<effects::TFallDirection>(std::max(0, fallCB_->currentIndex()));
    choices.fallWall.mode = effects::FallModeFromChecks(unfold_->isChecked(), scaleCB_->isChecked());
    choices.fallWall.useLastFramePalette = usePaslette_->isChecked();
    choices.fallWall.copyFrame = copyFrame_->isChecked();
    choices.fullRound = fullRound_->isChecked();
    choices.rain.useLastFramePalette = rainUsePal_->isChecked();
    choices.rain.copyFrame = rainCopyFrame_->isChecked();
    choices.rain.seed = rainSeed_;
    choices.moveApart.orientation = vertical_->isChecked() ? effects::orVertical : effects::orHorizontal;
    choices.moveApart.kind = diminishButton_->isChecked() ? effects::mkDiminish : effects::mkIncrease;
    choices.moveApart.useLastFramePalette = moveApartUsePal_->isChecked();
    choices.moveApart.copyFrame = moveApartCopyFrame_->isChecked();
    choices.moveApart.scale = scale_->isChecked();
    choices.lines.lines = FieldValue(editLines_);
    choices.lines.useLastFramePalette = linesPallette_->isChecked();
    choices.lines.copyFrame = linesCopyFrame_->isChecked();
    choices.lines.orientation = vert_->isChecked() ? effects::orVertical : effects::orHorizontal;
    return choices;
}

void TGIFWizardForm::ShowPreview(bool withText)
{
    // A size too large for a picture is said here; finishing refuses it too.
    QImage picture;
    if (!RunGuarded(project_.Ask(), [&] { picture = ImageFromBitmap(wizard::TextPreview(Choices(), withText)); }))
        return;
    preview_ = picture;
    previewImage_->setPixmap(QPixmap::fromImage(preview_));
    previewImage_->resize(preview_.size());
}

void TGIFWizardForm::PreviewImageDblClick()
{
    TPreviewWizForm view(preview_, this);
    view.exec();
}

bool TGIFWizardForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == previewImage_ && event->type() == QEvent::MouseButtonDblClick) {
        PreviewImageDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TGIFWizardForm::SetButtonsEnabled(bool back, bool next, bool cancel)
{
    backButton_->setEnabled(back);
    nextButton_->setEnabled(next);
    cancelButton_->setEnabled(cancel);
}

void TGIFWizardForm::Finish()
{
    // Busy. The buttons come back as they were when the wizard refuses.
    const bool back = backButton_->isEnabled();
    const bool next = nextButton_->isEnabled();
    const bool cancel = cancelButton_->isEnabled();
    SetButtonsEnabled(false, false, false);
    auto busy = std::make_unique<BusyCursor>(Qt::BusyCursor);
    project_.SetFrameStatus(QStringLiteral("Creating GIF"));
    const auto giveBack = [&] {
        busy.reset();
        SetButtonsEnabled(back, next, cancel);
        project_.SetFrameStatus(QString());
    };

    // Every refusal comes before the open document is touched, and leaves
    // the wizard usable: the user can go back and mend the page or cancel.
    const wizard::TWizardChoices choices = Choices();
    std::unique_ptr<wizard::TWizardBuilder> builder;
    std::string problem;
    try {
        builder = std::make_unique<wizard::TWizardBuilder>(choices);
        problem = builder->Check();
    } catch (const std::exception& error) {
        giveBack();
        project_.Ask().ShowError(QString::fromLocal8Bit(error.what()));
        return;
    }
    if (!problem.empty()) {
        giveBack();
        project_.Ask().Message(QString::fromStdString(problem), QStringLiteral("Error!"), PromptIcon::Information,
                               PromptButtons::Ok);
        return;
    }

    // The open project may be saved first. Cancel leaves it open and the
    // wizard as it was, like the refusals.
    if (project_.IsOpen()) {
        const PromptAnswer answer = project_.Ask().Message(QStringLiteral("Save changes?"), QStringLiteral("Warning"),
                                                           PromptIcon::Information, PromptButtons::YesNoCancel);
        if (answer == PromptAnswer::Cancel) {
            giveBack();
            return;
        }
        bool saved = true;
        if (answer == PromptAnswer::Yes &&
            !(RunGuarded(project_.Ask(), [&] { saved = commands::Save(project_); }) && saved)) {
            giveBack();  // a save that failed or was cancelled keeps the project: nothing is lost
            return;
        }
    }
    project_.Close();
    project_.SetFrameStatus(QStringLiteral("Creating GIF"));
    project_.SetFileName(QString());

    // The builder fills the new document image; the project
    // gives the preview its copy, the frame list and frame 0. A failure while
    // composing leaves the new document open with what it holds.
    RunGuarded(project_.Ask(), [&] {
        project_.Open(QStringLiteral("%1: New Gif").arg(QLatin1String(kMainCaption)), [&](TGIFImage& document) {
            project_.SetFrameStatus(QString());
            builder->Fill(document);
        });
    });
    fallCB_->setCurrentIndex(builder->FinalDirection());

    // Done: the wizard closes over the new project.
    busy.reset();
    SetButtonsEnabled(back, next, cancel);
    project_.SetFrameStatus(QStringLiteral("Ready"));
    accept();
}

} // namespace animora
