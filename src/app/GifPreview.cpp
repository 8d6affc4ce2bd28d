#include "app/GifPreview.h"

#include <climits>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "app/FrameRendering.h"
#include "app/Icons.h"
#include "app/PreviewImage.h"
#include "app/Prompts.h"
#include "app/Project.h"
#include "app/commands/FrameCommands.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "gif/Painter.h"

namespace animora {

uint16_t DrawOptionsFor(const PlayChecks& c)
{
    uint16_t options = c.running ? (drAnimate | drLoop) : drLoop;
    if (c.transparent)
        options |= drTransparent;
    if (c.dither)
        options |= drDither;
    if (c.autoDither)
        options |= drAutoDither;
    if (c.loop)
        options |= drLoopForever;
    if (c.threaded)
        options |= drThreaded;
    if (c.tile)
        options |= drTile;
    // Buffered painting needs a painter thread as well.
    if (!c.threaded || !c.buffered)
        options |= drUnbuffered;
    return options;
}

TGifPreview::TGifPreview(Project& project, QWidget* parent)
    : QWidget(parent), project_(project), appliedOptions_(DrawOptionsFor(PlayChecks{}))
{
    setObjectName("GifPreview");
    setWindowTitle("Preview");
    setMinimumSize(290, 200);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildFramePage(), "Frame");
    pages_->addTab(BuildOptionsPage(), "Play Option");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);
    EnableProjectButtons(false);

    connect(&project_, &Project::previewReplaced, this, [this] {
        TakePreviewCopy();
        FillFrameList();
        RefreshFrameView();
    });
    connect(&project_, &Project::projectShown, this, [this] {
        ApplyPlayOptions();
        ShowStill();
        FillFrameList();
        RefreshFrameView();
    });
    connect(&project_, &Project::currentFrameChanged, this, [this] {
        SelectCurrentInList();
        RefreshFrameView();
        // A command changed the copy (its colour maps, a frame): a running
        // animation that had to stop for it plays on.
        previewImage_->Invalidate();
    });
    connect(&project_, &Project::openChanged, this, &TGifPreview::EnableProjectButtons);
    connect(&project_, &Project::stopRequested, this, &TGifPreview::PressStopQuietly);
    connect(&project_, &Project::stepping, this, &TGifPreview::StopBeforeStepping);
    connect(previewImage_, &TPreviewImage::drawFailed, this, [this](const QString& message) {
        project_.Ask().ShowError(message);
    });
}

TGifPreview::~TGifPreview()
{
    // The copy may outlive this window; its painters must not call back.
    if (TGIFImage* copy = project_.PreviewCopy())
        copy->OnAfterFrame = nullptr;
}

QToolButton* TGifPreview::AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setAutoRaise(true);
    const QString text = QString::fromLatin1(hint);
    button->setToolTip(text.section('|', 0, 0));
    button->setStatusTip(text.section('|', 1));
    bar->layout()->addWidget(button);
    return button;
}

QWidget* TGifPreview::BuildFramePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    auto* bar = new QWidget(page);
    bar->setObjectName("ToolBar1");
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(2, 2, 2, 2);
    barLayout->setSpacing(1);
    frameList_ = new QComboBox(bar);
    frameList_->setObjectName("FrameList");
    frameList_->setMinimumContentsLength(4);
    barLayout->addWidget(frameList_);
    firstFrame_ = AddButton(bar, "FirstFrame", Icons::FirstFrame(), "First frame|");
    prevFrame_ = AddButton(bar, "PrevFrameButton", Icons::PreviousFrame(), "Previous frame|");
    nextFrame_ = AddButton(bar, "NextFrameButton", Icons::NextFrame(), "Next frame|");
    lastFrame_ = AddButton(bar, "LastFrame", Icons::LastFrame(), "Last frame|");
    runGif_ = AddButton(bar, "RunGif", Icons::Run(), "Run animation|");
    stopGif_ = AddButton(bar, "StopGif", Icons::Stop(), "Stop animation|");
    addButton_ = AddButton(bar, "AddButton", Icons::AddFrame(), "Add frame|Add frame to the end of project");
    editButton_ = AddButton(bar, "EditButton", Icons::EditFrame(), "Edit frame|");
    delButton_ = AddButton(bar, "DelButton", Icons::DeleteFrame(), "Delete frame|Delete current frame");
    optionButton_ = AddButton(bar, "OptionButton", Icons::FrameOption(), "Frame option|");
    barLayout->addStretch();

    for (QToolButton* toggle : {runGif_, stopGif_})
        toggle->setCheckable(true);
    auto* group = new QButtonGroup(this);
    group->addButton(runGif_);
    group->addButton(stopGif_);
    stopGif_->setChecked(true);

    scrollBox_ = new QScrollArea(page);
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setAlignment(Qt::AlignCenter);
    auto* holder = new QWidget;
    auto* holderLayout = new QVBoxLayout(holder);
    frameImage_ = new QLabel(holder);
    frameImage_->setObjectName("FrameImage");
    previewImage_ = new TPreviewImage(holder);
    previewImage_->hide();
    holderLayout->addWidget(frameImage_, 0, Qt::AlignCenter);
    holderLayout->addWidget(previewImage_, 0, Qt::AlignCenter);
    pictureHolder_ = holder;
    scrollBox_->setWidget(holder);
    scrollBox_->setWidgetResizable(true);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(scrollBox_, 1);

    auto guarded = [this](void (*command)(Project&)) {
        return [this, command] { RunGuarded(project_.Ask(), [&] { command(project_); }); };
    };
    connect(nextFrame_, &QToolButton::clicked, this, guarded(&commands::NextFrame));
    connect(prevFrame_, &QToolButton::clicked, this, guarded(&commands::PreviousFrame));
    connect(firstFrame_, &QToolButton::clicked, this, guarded(&commands::FirstFrame));
    connect(lastFrame_, &QToolButton::clicked, this, guarded(&commands::LastFrame));
    connect(addButton_, &QToolButton::clicked, this, guarded(&commands::AddFrame));
    connect(delButton_, &QToolButton::clicked, this, guarded(&commands::DeleteFrame));
    connect(optionButton_, &QToolButton::clicked, this, guarded(&commands::FrameOption));
    connect(editButton_, &QToolButton::clicked, this, &TGifPreview::editRequested);
    connect(runGif_, &QToolButton::clicked, this, &TGifPreview::RunGifClick);
    connect(stopGif_, &QToolButton::clicked, this, &TGifPreview::StopGifClick);
    connect(frameList_, &QComboBox::activated, this, &TGifPreview::FrameListChange);
    return page;
}

QWidget* TGifPreview::BuildOptionsPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    auto* layout = new QGridLayout(page);
    auto check = [&](QCheckBox*& box, const char* name, const char* text, bool checked, int row, int column) {
        box = new QCheckBox(text, page);
        box->setObjectName(name);
        box->setChecked(checked);
        layout->addWidget(box, row, column);
    };
    check(cbLoop_, "CBLoop", "Loop", true, 0, 0);
    check(cbStretch_, "CBStretch", "Stretch", false, 1, 0);
    check(cbTile_, "CBTile", "Tile", false, 2, 0);
    check(cbTransparent_, "CBTransparent", "Transparent", true, 3, 0);
    check(cbDither_, "CBDither", "Dither", true, 0, 1);
    check(cbAutoDither_, "CBAutoDither", "Auto dither", true, 1, 1);
    check(cbThreaded_, "CBThreaded", "Threaded", false, 2, 1);
    check(cbBuffered_, "CBBuffered", "Buffered", false, 3, 1);
    layout->addWidget(new QLabel("Speed", page), 4, 0);
    speedEdit_ = new QSpinBox(page);
    speedEdit_->setObjectName("SpeedEdit");
    speedEdit_->setRange(INT_MIN, INT_MAX);  // the edit has no limits; the image clamps
    speedEdit_->setValue(100);
    layout->addWidget(speedEdit_, 4, 1);
    layout->setRowStretch(5, 1);
    connect(speedEdit_, &QSpinBox::valueChanged, this, &TGifPreview::SpeedChange);
    return page;
}

PlayChecks TGifPreview::Checks() const
{
    return {runGif_->isChecked(),     cbLoop_->isChecked(),     cbStretch_->isChecked(),
            cbTile_->isChecked(),     cbTransparent_->isChecked(), cbDither_->isChecked(),
            cbAutoDither_->isChecked(), cbThreaded_->isChecked(), cbBuffered_->isChecked()};
}

void TGifPreview::EnableProjectButtons(bool on)
{
    for (QToolButton* button :
         {stopGif_, prevFrame_, nextFrame_, firstFrame_, lastFrame_, delButton_, addButton_, optionButton_, editButton_})
        button->setEnabled(on);
    runGif_->setEnabled(on);
}

bool TGifPreview::IsPlaying() const
{
    const TGIFImage* copy = previewImage_->Picture();
    return copy && const_cast<TGIFImage*>(copy)->DefaultPainter() != nullptr;
}

void TGifPreview::ApplyPlayOptions()
{
    TGIFImage* preview = project_.PreviewCopy();
    if (!preview)
        return;
    const PlayChecks checks = Checks();
    FitPictureToOptions(checks);
    preview->StopAnimation();
    appliedOptions_ = DrawOptionsFor(checks);
    preview->SetDrawOptions(appliedOptions_);
    previewImage_->Restart();
}

// Stretch draws the animation into the whole scroll box. Tile fills it too,
// so that the tiles can be seen; otherwise the picture keeps its own size.
void TGifPreview::FitPictureToOptions(const PlayChecks& checks)
{
    const bool fill = checks.stretch || checks.tile;
    previewImage_->SetStretch(fill);
    pictureHolder_->layout()->setAlignment(previewImage_, fill ? Qt::Alignment() : Qt::AlignCenter);
}

void TGifPreview::TakePreviewCopy()
{
    const std::shared_ptr<TGIFImage>& copy = project_.PreviewShared();
    if (copy) {
        copy->SetDrawOptions(appliedOptions_);
        copy->OnAfterFrame = [this](TGIFPainter&) { ++framesPlayed_; };
    }
    previewImage_->SetPicture(copy);
}

void TGifPreview::ResumePlaying()
{
    previewImage_->Invalidate();
}

void TGifPreview::RefreshFrameView()
{
    if (!project_.Document())
        return;
    // SetCurrentFrame keeps the index within the frames.
    const int current = project_.CurrentFrame();
    if (!stopGif_->isEnabled())
        return;
    // "Redering" is the status text users have always seen here, typo kept.
    project_.ShowProgress(TProgressStage::psRunning, 0, "Redering");
    TGIFImage* preview = project_.PreviewCopy();
    QImage picture;
    if (preview && current < preview->Images().Count())
        picture = RenderFrameImage(*preview->Images().SubImage(current));
    frameImage_->setPixmap(QPixmap::fromImage(picture));
    frameImage_->adjustSize();
    project_.ShowProgress(TProgressStage::psRunning, 0, "Ready");
    project_.SetFrameStatus(project_.FrameCount() > 0 ? Project::FrameStatusText(current, project_.FrameCount())
                                                      : QString());
}

void TGifPreview::PressStopQuietly()
{
    if (TGIFImage* copy = previewImage_->Picture())
        copy->StopAnimation();
    const QSignalBlocker blocker(stopGif_);
    stopGif_->setChecked(true);
    ShowStill();
}

void TGifPreview::StopBeforeStepping()
{
    if (runGif_->isChecked()) {
        stopGif_->setChecked(true);
        StopGifClick();
    }
    previewImage_->hide();
}

void TGifPreview::FillFrameList()
{
    const QSignalBlocker blocker(frameList_);
    frameList_->clear();
    for (int i = 1; i <= project_.FrameCount(); ++i)
        frameList_->addItem(QString::number(i));
    SelectCurrentInList();
}

void TGifPreview::SelectCurrentInList()
{
    const QSignalBlocker blocker(frameList_);
    if (project_.CurrentFrame() < frameList_->count())
        frameList_->setCurrentIndex(project_.CurrentFrame());
}

void TGifPreview::ShowStill()
{
    previewImage_->hide();
    frameImage_->show();
}

void TGifPreview::RunGifClick()
{
    previewImage_->show();
    frameImage_->hide();
    ApplyPlayOptions();
}

void TGifPreview::StopGifClick()
{
    ShowStill();
    ApplyPlayOptions();
    RefreshFrameView();
}

void TGifPreview::FrameListChange(int row)
{
    bool ok = false;
    const int number = frameList_->itemText(row).toInt(&ok);
    if (ok)
        project_.SetCurrentFrame(number - 1);
}

void TGifPreview::SpeedChange(int value)
{
    GIFImageDefaults().animationSpeed = value;
    if (TGIFImage* preview = project_.PreviewCopy())
        preview->SetAnimationSpeed(value);
}

} // namespace animora
