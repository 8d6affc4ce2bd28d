#include "app/Giffer.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "app/CommandGuard.h"
#include "app/GifPreview.h"
#include "app/Icons.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/commands/FileCommands.h"
#include "app/dialogs/OpenWizForm.h"
#include "gif/GIFImage.h"

namespace animora {

TGiffer::TGiffer(Project& project, QWidget* parent) : QMainWindow(parent), project_(project)
{
    setObjectName("Giffer");
    setWindowTitle(QString::fromLatin1(kMainCaption));
    resize(587, 386);
    // The editor draws frames itself; painters it starts later are unbuffered.
    GIFImageDefaults().drawOptions |= drUnbuffered;

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("MDIClient");
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

    EnableEditTools(false);
    ConnectProject();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TGiffer::UpdatePasteState);
}

TGiffer::~TGiffer()
{
    // Tearing the widgets down hides the sub-windows, which signals; by then
    // this window is no longer whole, so nothing may reach it any more.
    disconnect(mdiArea_, nullptr, this, nullptr);
    disconnect(&project_, nullptr, this, nullptr);
    disconnect(&project_.Recent(), nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
}

void TGiffer::ConnectProject()
{
    connect(&project_, &Project::captionChanged, this, &QWidget::setWindowTitle);
    connect(&project_, &Project::projectCommandsEnabled, this, &TGiffer::EnableProjectCommands);
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
    UpdatePasteState();
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

void TGiffer::MarkUnavailable(QAction* action)
{
    unavailable_.insert(action);
    action->setEnabled(false);
}

void TGiffer::SetAvailableEnabled(QAction* action, bool on)
{
    if (action)
        action->setEnabled(on && !unavailable_.contains(action));
}

void TGiffer::EnableProjectCommands(bool on)
{
    preview_->EnableProjectButtons(on);
    for (const char* name : {"ImportButton", "MapofGIF1", "Optimizepalette1", "Optimize1", "Save1", "Saveas1",
                             "SaveButton", "ExportFrameButton", "OptimizeButton", "ScanButton"})
        SetAvailableEnabled(Action(name), on);
    for (const char* menu : {"Frame", "Draw", "GIF", "Effect", "View"})
        menus_.value(menu)->menuAction()->setEnabled(on);
    for (QAction* action : toolBar3_->actions())
        SetAvailableEnabled(action, on);
}

void TGiffer::EnableEditTools(bool on)
{
    editToolsOn_ = on;
    menus_.value("Edit")->menuAction()->setEnabled(on);
    for (const char* name : {"Cut1", "Copy1", "Paste1", "Delete2", "CutButton", "CopyButton", "PasteButton",
                             "DeleteButton"})
        SetAvailableEnabled(Action(name), on);
    for (QAction* action : toolBar4_->actions())
        SetAvailableEnabled(action, on);
    UpdatePasteState();
}

void TGiffer::UpdatePasteState()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    clipboardHasBitmap_ = data && data->hasImage();
    // Paste needs the document window to paste into as well.
    SetAvailableEnabled(Action("PasteButton"), clipboardHasBitmap_ && editToolsOn_);
    SetAvailableEnabled(Action("Paste1"), clipboardHasBitmap_ && editToolsOn_);
}

void TGiffer::ReleaseToolButtons()
{
    for (QAction* action : toolBar4_->actions())
        action->setChecked(false);
}

void TGiffer::closeEvent(QCloseEvent* event)
{
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

void TGiffer::LoadSettings()
{
    const WindowSettings settings = Settings::LoadWindow();
    setWindowState(Qt::WindowNoState);
    setGeometry(settings.normalGeometry);
    PlaceToolbars(settings);
    previewWindow_->setGeometry(settings.previewGeometry);
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
