// The main window's menu bar, built from the action table: every item with
// its caption and shortcut. Items whose commands are not in this version are
// present and disabled (the table marks them), so no item pretends to work.
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
#include "app/commands/AnimationCommands.h"
#include "app/commands/EffectCommands.h"
#include "app/commands/FileCommands.h"
#include "app/commands/FrameCommands.h"
#include "app/commands/FrameFileCommands.h"
#include "app/extensions/ExtensionsForm.h"
#include "app/optimize/FrameOptionForm.h"
#include "app/optimize/OptimizerForm.h"
#include "app/wizard/GIFWizardForm.h"

namespace animora {

QString UserGuidePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("user-guide.html");
}

QAction* TGiffer::MakeAction(ActionId id)
{
    const ActionSpec& spec = Spec(id);
    auto* action = new QAction(this);
    action->setObjectName(spec.objectName);
    action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
    actions_[static_cast<std::size_t>(id)] = action;
    return action;
}

QMenu* TGiffer::AddMenu(MenuId id)
{
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(Spec(id).title));
    menus_[static_cast<std::size_t>(id)] = menu;
    return menu;
}

void TGiffer::AddItems(QMenu* menu, std::initializer_list<ActionId> ids)
{
    for (ActionId id : ids) {
        // "caption|status tip", as the buttons' hints are written.
        const QString text = QString::fromLatin1(Spec(id).text);
        QAction* action = MakeAction(id);
        action->setText(text.section('|', 0, 0));
        action->setStatusTip(text.section('|', 1));
        menu->addAction(action);
    }
}

void TGiffer::Bind(ActionId id, void (*command)(Project&))
{
    connect(Action(id), &QAction::triggered, this, [this, command] { Run([&] { command(project_); }); });
}

void TGiffer::BuildMenus()
{
    using A = ActionId;
    menuBar()->setObjectName("MainMenu1");
    QMenu* file = AddMenu(MenuId::File);
    AddItems(file, {A::Create1, A::Open1, A::Save1, A::Saveas1});
    file->addSeparator();
    AddItems(file, {A::GIFWizard1, A::MapofGIF1, A::Optimizepalette1, A::Optimize1});
    file->addSeparator();
    recentMenu_ = file->addMenu(QString::fromLatin1(Spec(A::Lastprojects1).text));
    recentMenu_->setObjectName(Spec(A::Lastprojects1).objectName);
    recentMenu_->menuAction()->setObjectName(Spec(A::Lastprojects1).objectName);
    actions_[static_cast<std::size_t>(A::Lastprojects1)] = recentMenu_->menuAction();
    file->addSeparator();
    AddItems(file, {A::Close1});

    // Undo, redo and the clipboard commands act on the document window.
    QMenu* edit = AddMenu(MenuId::Edit);
    AddItems(edit, {A::Undo1, A::Redo1});
    edit->addSeparator();
    AddItems(edit, {A::Cut1, A::Copy1, A::Paste1, A::Delete2});

    AddItems(AddMenu(MenuId::Frame),
             {A::Save2, A::Exchange1, A::Addframe1, A::Edit1, A::Delete1, A::Moveframe1, A::Frameoption1});
    // The Frame menu acts on one frame; the Animation menu on all of them.
    QMenu* animation = AddMenu(MenuId::Animation);
    AddItems(animation, {A::Reverse1, A::PingPong1});
    animation->addSeparator();
    AddItems(animation, {A::SetDelay1, A::ChangeSpeed1});
    animation->addSeparator();
    AddItems(animation, {A::Resize1, A::Crop1});
    animation->addSeparator();
    AddItems(animation, {A::DeleteRange1, A::KeepEvery1, A::Dedupe1});
    AddItems(AddMenu(MenuId::Draw), {A::Insertfromfile1, A::Export1, A::Scan1, A::Colorattribute1, A::Text1});
    AddItems(AddMenu(MenuId::GIF), {A::Extensions1, A::Globalpalette1});
    AddItems(AddMenu(MenuId::Effect), {A::Fallwall1, A::Rain1, A::Moveapart1, A::Lines1, A::Mosaic1});
    Action(A::Mosaic1)->setVisible(false);
    AddItems(AddMenu(MenuId::View), {A::Scale50B, A::Scale100B, A::Scale50S, A::Scale100S, A::Realsize1});
    Menu(MenuId::View)->addSeparator();
    AddItems(Menu(MenuId::View), {A::OnionSkin1});
    Action(A::OnionSkin1)->setCheckable(true);
    AddItems(AddMenu(MenuId::Window), {A::Cascade1, A::Tile1, A::ArrangeIcons1, A::Next1, A::Previous1});
    AddItems(AddMenu(MenuId::Help), {A::Help2, A::Homepage1, A::About1});
    BindMenuCommands();
}

void TGiffer::BindMenuCommands()
{
    using A = ActionId;
    Bind(A::Create1, &commands::Create);
    Bind(A::Open1, &commands::Open);
    Bind(A::Save1, [](Project& project) { commands::Save(project); });
    Bind(A::Saveas1, &commands::SaveAs);
    Bind(A::Optimize1, &commands::OptimizeColorMap);
    Bind(A::Addframe1, &commands::AddFrame);
    Bind(A::Delete1, &commands::DeleteFrame);
    Bind(A::Frameoption1, &commands::FrameOption);
    Bind(A::Exchange1, &commands::ExchangeFrames);
    Bind(A::Moveframe1, &commands::MoveFrame);
    Bind(A::Reverse1, &commands::ReverseAnimation);
    Bind(A::PingPong1, &commands::PingPongAnimation);
    Bind(A::SetDelay1, &commands::SetDelay);
    Bind(A::ChangeSpeed1, &commands::ChangeSpeed);
    Bind(A::Resize1, &commands::ResizeAnimation);
    Bind(A::Crop1, &commands::CropAnimation);
    Bind(A::DeleteRange1, &commands::DeleteFrameRange);
    Bind(A::KeepEvery1, &commands::KeepEveryNth);
    Bind(A::Dedupe1, &commands::DropDuplicateFrames);
    Bind(A::Insertfromfile1, &commands::ImportFrame);
    Bind(A::Export1, &commands::ExportFrame);
    Bind(A::Fallwall1, &commands::FallWall);
    Bind(A::Rain1, [](Project& project) { commands::Rain(project); });
    Bind(A::Moveapart1, &commands::MoveApart);
    Bind(A::Lines1, &commands::Lines);
    connect(Action(A::GIFWizard1), &QAction::triggered, this, [this] { Run([this] { RunGIFWizard(project_, this); }); });
    connect(Action(A::Extensions1), &QAction::triggered, this,
            [this] { Run([this] { ShowExtensionsForm(*windows_, project_); }); });
    connect(Action(A::Globalpalette1), &QAction::triggered, this,
            [this] { Run([this] { ShowFrameOptionForm(*windows_, project_); }); });
    connect(Action(A::Optimizepalette1), &QAction::triggered, this,
            [this] { Run([this] { ShowOptimizerForm(*windows_, project_); }); });
    connect(Action(A::Close1), &QAction::triggered, this, &QWidget::close);
    connect(Action(A::Cascade1), &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(Action(A::Tile1), &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(Action(A::ArrangeIcons1), &QAction::triggered, this, &TGiffer::ArrangeIcons);
    connect(Action(A::Next1), &QAction::triggered, mdiArea_, &QMdiArea::activateNextSubWindow);
    connect(Action(A::Previous1), &QAction::triggered, mdiArea_, &QMdiArea::activatePreviousSubWindow);
    connect(Action(A::Help2), &QAction::triggered, this, [this] {
        Run([] { QDesktopServices::openUrl(QUrl::fromLocalFile(UserGuidePath())); });
    });
    connect(Action(A::Homepage1), &QAction::triggered, this, [] { QDesktopServices::openUrl(QUrl(kHomePageUrl)); });
    connect(Action(A::About1), &QAction::triggered, this, &TGiffer::ShowAbout);
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
    QMenu* recent = recentMenu_;
    recent->clear();
    for (const QString& path : project_.Recent().Entries()) {
        QAction* entry = recent->addAction(QString(path).replace('&', "&&"));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { Run([&] { commands::OpenRecent(project_, path); }); });
    }
    UpdateActions();
}

void TGiffer::ShowAbout()
{
    ShowAboutBox(this);
}

} // namespace animora
