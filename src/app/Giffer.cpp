#include "app/Giffer.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/CommandGuard.h"
#include "app/GifPreview.h"
#include "app/Icons.h"
#include "app/MdiWindows.h"
#include "app/client/GifClientForm.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/commands/FileCommands.h"
#include "app/dialogs/OpenWizForm.h"
#include "app/wizard/GIFWizardForm.h"
#include "gif/GIFImage.h"

namespace animora {

TGiffer::TGiffer(Project& project, QWidget* parent) : QMainWindow(parent), project_(project)
{
    setObjectName("Giffer");
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setAcceptDrops(true);
    resize(587, 386);
    // The editor draws frames itself; painters it starts later are unbuffered.
    GIFImageDefaults().drawOptions |= drUnbuffered;

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("MDIClient");
    windows_ = new TMdiWindows(*mdiArea_, this);
    BuildMenus();
    BuildToolbars();
    BuildBottomPanel();
    BuildStatusBar();

    preview_ = new TGifPreview(project_);
    previewWindow_ = mdiArea_->addSubWindow(preview_);
    previewWindow_->setWindowIcon(Icons::Run());
    previewWindow_->setGeometry(100, 100, 300, 240);
    preview_->show();
    // Activating the preview shows its current frame again.
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window == previewWindow_)
            preview_->RefreshFrameView();
    });

    chooser_ = new TOpenWizForm(this);
    chooser_->onCreate = [this] { Run([this] { commands::Create(project_); }); };
    chooser_->onOpen = [this] { Run([this] { commands::Open(project_); }); };
    chooser_->onWizard = [this] { Run([this] { RunGIFWizard(project_, this); }); };
    chooser_->onImport = [this] {
        Run([this] {
            commands::Create(project_);
            if (project_.Document())
                OpenMap();
        });
    };

    for (const ActionSpec& spec : AllActions())
        if (!Action(spec.id))
            qFatal("Action %s is in no menu and on no toolbar", spec.objectName);

    ConnectProject();
    BindDocumentCommands();
    RebuildRecentMenu();
    connect(windows_, &TMdiWindows::changed, this, &TGiffer::UpdateActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TGiffer::UpdateClipboardState);
    UpdateClipboardState();
}

TGiffer::~TGiffer()
{
    // Tearing the widgets down hides the sub-windows, which signals; by then
    // this window is no longer whole, so nothing may reach it any more.
    disconnect(mdiArea_, nullptr, this, nullptr);
    disconnect(windows_, nullptr, this, nullptr);
    disconnect(&project_, nullptr, this, nullptr);
    disconnect(&project_.Recent(), nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
}

void TGiffer::ConnectProject()
{
    connect(&project_, &Project::captionChanged, this, &QWidget::setWindowTitle);
    connect(&project_, &Project::openChanged, this, &TGiffer::UpdateActions);
    connect(&project_, &Project::historyChanged, this, &TGiffer::UpdateActions);
    connect(&project_, &Project::progress, this, [this](int percent, const QString& message) {
        progressBar_->setValue(percent);
        panel0_->setText(message);
        progressBar_->repaint();
        panel0_->repaint();
    });
    connect(&project_, &Project::progressEnded, this, [this] {
        progressBar_->setValue(0);
        panel0_->clear();
    });
    connect(&project_, &Project::frameStatus, this, [this](const QString& text) {
        panel1_->setText(text);
        panel1_->repaint();
    });
    connect(&project_.Recent(), &RecentProjects::changed, this, &TGiffer::RebuildRecentMenu);
}

void TGiffer::Run(const std::function<void()>& command)
{
    RunGuarded(project_.Ask(), command);
}

void TGiffer::StartUp(const QString& firstParameter, bool showChooser)
{
    // Each step runs even when an earlier one failed: a command-line file
    // that cannot be opened must not cost the user the recent list or the
    // saved window places.
    if (!firstParameter.isEmpty())
        Run([&] { commands::OpenProject(project_, firstParameter); });
    else
        Run([&] { commands::CloseProject(project_); });
    UpdateClipboardState();
    Run([&] { project_.Recent().ReadFrom(project_.StartDirectory()); });
    chooser_->ShowNextTime()->setChecked(Settings::ShowOpenWiz());
    if (showChooser && chooser_->ShowNextTime()->isChecked())
        chooser_->exec();
    LoadSettings();
}

QString TGiffer::StatusText(int panel) const
{
    return panel == 0 ? panel0_->text() : panel1_->text();
}

ActionContext TGiffer::CurrentContext() const
{
    ActionContext context;
    context.projectOpen = project_.IsOpen();
    context.documentWindowActive = windows_->IsActive(WindowKind::Document);
    if (const TGifClientForm* client = context.documentWindowActive ? Client() : nullptr) {
        context.canUndo = client->CanUndo();
        context.canRedo = client->CanRedo();
    } else {
        context.canUndo = project_.CanUndo();
        context.canRedo = project_.CanRedo();
    }
    context.clipboardHasImage = clipboardHasBitmap_;
    context.hasRecentProjects = !project_.Recent().Entries().isEmpty();
    context.userGuidePresent = QFileInfo::exists(UserGuidePath());
    return context;
}

void TGiffer::UpdateActions()
{
    ApplyActionStates(CurrentContext());
    NameHistorySteps();
}

// "Undo Move frame": the items say which change of the project they take
// back; inside the document window they are plain Undo and Redo.
void TGiffer::NameHistorySteps()
{
    const bool project = !windows_->IsActive(WindowKind::Document);
    const QString undo = project ? project_.UndoName() : QString();
    const QString redo = project ? project_.RedoName() : QString();
    Action(ActionId::Undo1)->setText(undo.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undo);
    Action(ActionId::Redo1)->setText(redo.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redo);
}

void TGiffer::ApplyActionStates(const ActionContext& context)
{
    for (const ActionSpec& spec : AllActions())
        Action(spec.id)->setEnabled(IsActionEnabled(spec, context));
    for (std::size_t i = 0; i < kMenuCount; ++i)
        menus_[i]->menuAction()->setEnabled(RuleHolds(Spec(MenuId(i)).rule, context));
}

void TGiffer::UpdateClipboardState()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    clipboardHasBitmap_ = data && data->hasImage();
    UpdateActions();
}

void TGiffer::ReleaseToolButtons()
{
    for (QAction* action : toolBar4_->actions())
        action->setChecked(false);
}

void TGiffer::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void TGiffer::dropEvent(QDropEvent* event)
{
    const QString path = event->mimeData()->urls().first().toLocalFile();
    event->acceptProposedAction();
    // The drop ends before any question is asked.
    QMetaObject::invokeMethod(this, [this, path] { OpenDropped(path); }, Qt::QueuedConnection);
}

void TGiffer::OpenDropped(const QString& path)
{
    Run([&] {
        if (commands::ConfirmClose(project_))
            commands::OpenProject(project_, path);
    });
}

void TGiffer::closeEvent(QCloseEvent* event)
{
    // A video import or export runs under its progress window: its Cancel
    // ends it, closing the editor does not.
    if (project_.IsHeld()) {
        event->ignore();
        return;
    }
    // The preview's painting ends before anything is asked.
    if (TGIFImage* copy = project_.PreviewCopy())
        copy->StopAllPainters();
    bool mayClose = false;
    // A failing save leaves the editor open, as Cancel does.
    Run([&] { mayClose = commands::ConfirmClose(project_); });
    if (!mayClose) {
        event->ignore();
        preview_->ResumePlaying();
        return;
    }
    SaveSettings();
    Run([&] { commands::CloseProject(project_); });
    Run([&] { project_.Recent().WriteTo(project_.StartDirectory()); });
    event->accept();
}

bool TGiffer::event(QEvent* event)
{
    // Hints: the status part of a hint goes to panel 0.
    if (event->type() == QEvent::StatusTip) {
        panel0_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TGiffer::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Panel 0 takes the width but the last 100 pixels, which are panel 1's.
    if (panel1_)
        panel1_->setFixedWidth(std::min(100, width() / 2));
}

namespace {

// A first start (no saved geometry) uses most of the screen, and the
// preview is large enough for the whole picture of a typical GIF.
QRect FirstStartGeometry(const QRect& available)
{
    const QSize size = available.size() * 0.85;
    return QRect(available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                               (available.height() - size.height()) / 2),
                 size);
}

// The frame area of the main window's size: less the menu, toolbar,
// progress and status rows (the layout is not done yet at start-up).
QRect FirstStartPreviewGeometry(const QSize& window)
{
    constexpr int kMargin = 8;
    constexpr int kBarsHeight = 170;
    const QSize wanted(560, 480);
    const QSize area(window.width() - 2 * kMargin, window.height() - kBarsHeight - 2 * kMargin);
    return QRect(QPoint(kMargin, kMargin), wanted.boundedTo(area).expandedTo(QSize(290, 200)));
}

} // namespace

void TGiffer::LoadSettings()
{
    const WindowSettings settings = Settings::LoadWindow();
    setWindowState(Qt::WindowNoState);
    if (settings.geometrySaved || !screen())
        setGeometry(settings.normalGeometry);
    else
        setGeometry(FirstStartGeometry(screen()->availableGeometry()));
    PlaceToolbars(settings);
    if (settings.previewSaved)
        previewWindow_->setGeometry(settings.previewGeometry);
    else
        previewWindow_->setGeometry(FirstStartPreviewGeometry(normalGeometry().size()));
    switch (settings.windowState) {
    case 1: setWindowState(Qt::WindowMinimized); break;
    case 2: setWindowState(Qt::WindowMaximized); break;
    default: break;
    }
}

void TGiffer::SaveSettings()
{
    WindowSettingsToSave toSave;
    toSave.values = CurrentWindowSettings();
    toSave.mainWindowNormal = toSave.values.windowState == 0;
    toSave.previewNormal = !(previewWindow_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    Settings::SaveWindow(toSave);
}

WindowSettings TGiffer::CurrentWindowSettings() const
{
    WindowSettings s;
    s.normalGeometry = geometry();
    if (windowState() & Qt::WindowMinimized)
        s.windowState = 1;
    else if (windowState() & Qt::WindowMaximized)
        s.windowState = 2;
    // Rows are told apart by their height on the toolbar area.
    QList<int> rowTops;
    for (QToolBar* bar : {toolBar1_, toolBar4_, toolBar3_})
        if (!rowTops.contains(bar->y()))
            rowTops.append(bar->y());
    std::sort(rowTops.begin(), rowTops.end());
    auto place = [&](QToolBar* bar) { return ToolbarPlace::ForRow(rowTops.indexOf(bar->y()), bar->x()); };
    s.projectBar = place(toolBar1_);
    s.drawingBar = place(toolBar4_);
    s.gifBar = place(toolBar3_);
    s.previewGeometry = previewWindow_->geometry();
    return s;
}

void TGiffer::PlaceToolbars(const WindowSettings& settings)
{
    struct Placed {
        QToolBar* bar;
        ToolbarPlace place;
    };
    std::vector<Placed> bars = {{toolBar1_, settings.projectBar}, {toolBar4_, settings.drawingBar},
                                {toolBar3_, settings.gifBar}};
    std::stable_sort(bars.begin(), bars.end(), [](const Placed& a, const Placed& b) {
        return a.place.Row() != b.place.Row() ? a.place.Row() < b.place.Row() : a.place.left < b.place.left;
    });
    for (const Placed& placed : bars) {
        removeToolBarBreak(placed.bar);
        removeToolBar(placed.bar);
    }
    int row = bars.front().place.Row();
    for (const Placed& placed : bars) {
        if (placed.place.Row() != row) {
            addToolBarBreak(Qt::TopToolBarArea);
            row = placed.place.Row();
        }
        addToolBar(Qt::TopToolBarArea, placed.bar);
        placed.bar->show();
    }
}

} // namespace animora
