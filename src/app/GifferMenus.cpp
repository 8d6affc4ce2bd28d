// The main window's menu bar: every item of the design with its caption and
// shortcut. Items whose commands a later version brings are present and
// disabled (MarkUnavailable), so no item pretends to work.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "app/About.h"
#include "app/CommandGuard.h"
#include "app/Giffer.h"
#include "app/Project.h"
#include "app/commands/FileCommands.h"
#include "app/commands/FrameCommands.h"

namespace animora {

QString UserGuidePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("user-guide.html");
}

QAction* TGiffer::AddAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut)
{
    auto* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(name);
    action->setShortcut(shortcut);
    actions_.insert(name, action);
    return action;
}

void TGiffer::Connect(const char* name, void (*command)(Project&))
{
    connect(Action(name), &QAction::triggered, this, [this, command] { Run([&] { command(project_); }); });
}

void TGiffer::BuildMenus()
{
    menuBar()->setObjectName("MainMenu1");
    BuildFileMenu();
    BuildEditAndFrameMenus();
    BuildOtherMenus();
}

void TGiffer::BuildFileMenu()
{
    QMenu* file = menuBar()->addMenu("File");
    menus_.insert("File", file);
    AddAction(file, "Create1", "Create");
    AddAction(file, "Open1", "Open project", QKeySequence("Ctrl+O"));
    AddAction(file, "Save1", "Save project", QKeySequence("Ctrl+S"));
    AddAction(file, "Saveas1", "Save as . . . ");
    file->addSeparator();
    MarkUnavailable(AddAction(file, "GIFWizard1", "GIF Wizard"));
    MarkUnavailable(AddAction(file, "MapofGIF1", "Import wizard"));
    MarkUnavailable(AddAction(file, "Optimizepalette1", "Optimize"));
    AddAction(file, "Optimize1", "Optimize color map");
    file->addSeparator();
    QMenu* recent = file->addMenu("Last projects");
    recent->setObjectName("Lastprojects1");
    menus_.insert("Lastprojects1", recent);
    actions_.insert("Lastprojects1", recent->menuAction());
    file->addSeparator();
    AddAction(file, "Close1", "Exit", QKeySequence("Alt+F4"));

    Connect("Create1", &commands::Create);
    Connect("Open1", &commands::Open);
    Connect("Save1", [](Project& project) { commands::Save(project); });
    Connect("Saveas1", &commands::SaveAs);
    Connect("Optimize1", &commands::OptimizeColorMap);
    connect(Action("Close1"), &QAction::triggered, this, &QWidget::close);
    RebuildRecentMenu();
}

void TGiffer::BuildEditAndFrameMenus()
{
    QMenu* edit = menuBar()->addMenu("Edit");
    menus_.insert("Edit", edit);
    // Undo, redo and the clipboard commands act on the document window.
    MarkUnavailable(AddAction(edit, "Undo1", "Undo", QKeySequence("Ctrl+Z")));
    MarkUnavailable(AddAction(edit, "Redo1", "Redo", QKeySequence("Shift+Ctrl+Z")));
    edit->addSeparator();
    MarkUnavailable(AddAction(edit, "Cut1", "Cut", QKeySequence("Ctrl+X")));
    MarkUnavailable(AddAction(edit, "Copy1", "Copy", QKeySequence("Ctrl+Ins")));
    MarkUnavailable(AddAction(edit, "Paste1", "Paste", QKeySequence("Shift+Ins")));
    MarkUnavailable(AddAction(edit, "Delete2", "Delete"));

    QMenu* frame = menuBar()->addMenu("Frame");
    menus_.insert("Frame", frame);
    MarkUnavailable(AddAction(frame, "Save2", "Save current frame", QKeySequence("Alt+S")));
    MarkUnavailable(AddAction(frame, "Exchange1", "Echange by places"));
    AddAction(frame, "Addframe1", "Add frame");
    MarkUnavailable(AddAction(frame, "Edit1", "Edit preview frame", QKeySequence("Ctrl+E")));
    AddAction(frame, "Delete1", "Delete preview frame", QKeySequence("Ctrl+D"));
    MarkUnavailable(AddAction(frame, "Moveframe1", "Move frame"));
    AddAction(frame, "Frameoption1", "Frame option");
    Connect("Addframe1", &commands::AddFrame);
    Connect("Delete1", &commands::DeleteFrame);
    Connect("Frameoption1", &commands::FrameOption);
}

void TGiffer::BuildOtherMenus()
{
    QMenu* draw = menuBar()->addMenu("Draw");
    menus_.insert("Draw", draw);
    MarkUnavailable(AddAction(draw, "Insertfromfile1", "Import"));
    MarkUnavailable(AddAction(draw, "Export1", "Export"));
    MarkUnavailable(AddAction(draw, "Scan1", "Scaning frame"));
    MarkUnavailable(AddAction(draw, "Colorattribute1", "Color attribute"));

    QMenu* gif = menuBar()->addMenu("GIF");
    menus_.insert("GIF", gif);
    MarkUnavailable(AddAction(gif, "Extensions1", "Extensions"));
    MarkUnavailable(AddAction(gif, "Globalpalette1", "Global palette"));

    QMenu* effect = menuBar()->addMenu("Effect");
    menus_.insert("Effect", effect);
    MarkUnavailable(AddAction(effect, "Fallwall1", "Fall wall"));
    MarkUnavailable(AddAction(effect, "Rain1", "Rain"));
    MarkUnavailable(AddAction(effect, "Moveapart1", "Move apart"));
    MarkUnavailable(AddAction(effect, "Lines1", "Lines"));
    QAction* mosaic = AddAction(effect, "Mosaic1", "Mosaic");
    MarkUnavailable(mosaic);
    mosaic->setVisible(false);

    QMenu* view = menuBar()->addMenu("View");
    menus_.insert("View", view);
    MarkUnavailable(AddAction(view, "Scale50B", "+ 50%", QKeySequence("Ctrl+PgDown")));
    MarkUnavailable(AddAction(view, "Scale100B", "+100%"));
    MarkUnavailable(AddAction(view, "Scale50S", "-50%", QKeySequence("Ctrl+PgUp")));
    MarkUnavailable(AddAction(view, "Scale100S", "-100%"));
    MarkUnavailable(AddAction(view, "Realsize1", "Real size", QKeySequence("Ctrl+Home")));

    QMenu* window = menuBar()->addMenu("Window");
    menus_.insert("Window", window);
    connect(AddAction(window, "Cascade1", "Cascade"), &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(AddAction(window, "Tile1", "Tile"), &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(AddAction(window, "ArrangeIcons1", "Arrange to icons"), &QAction::triggered, this,
            &TGiffer::ArrangeIcons);
    connect(AddAction(window, "Next1", "Next", QKeySequence("Ctrl+F6")), &QAction::triggered, mdiArea_,
            &QMdiArea::activateNextSubWindow);
    connect(AddAction(window, "Previous1", "Previous", QKeySequence("Shift+Ctrl+F6")), &QAction::triggered,
            mdiArea_, &QMdiArea::activatePreviousSubWindow);

    QMenu* help = menuBar()->addMenu("Help");
    menus_.insert("Help", help);
    connect(AddAction(help, "Help2", "How to use"), &QAction::triggered, this, [this] {
        Run([] { QDesktopServices::openUrl(QUrl::fromLocalFile(UserGuidePath())); });
    });
    Action("Help2")->setEnabled(QFileInfo::exists(UserGuidePath()));
    connect(AddAction(help, "Homepage1", "Zelqo home page"), &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(kHomePageUrl)); });
    connect(AddAction(help, "About1", "About"), &QAction::triggered, this, &TGiffer::ShowAbout);
}

void TGiffer::ArrangeIcons()
{
    // Minimised windows in a row along the bottom, wrapping upwards.
    const QRect area = mdiArea_->viewport()->rect();
    int x = 0;
    int rowBottom = area.bottom() + 1;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            rowBottom -= size.height();
        }
        window->move(x, rowBottom - size.height());
        x += size.width();
    }
}

void TGiffer::RebuildRecentMenu()
{
    QMenu* recent = menus_.value("Lastprojects1");
    recent->clear();
    for (const QString& path : project_.Recent().Entries()) {
        QAction* entry = recent->addAction(QString(path).replace('&', "&&"));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { Run([&] { commands::OpenRecent(project_, path); }); });
    }
    recent->menuAction()->setEnabled(!project_.Recent().Entries().isEmpty());
}

void TGiffer::ShowAbout()
{
    ShowAboutBox(this);
}

} // namespace animora
