// The edit gateway and the action states: every change stops the painters
// and announces exactly what it changed; menu items follow the context.
#include "EditorFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

#include "app/MdiWindows.h"
#include "app/QtGuiDispatcher.h"
#include "gif/Painter.h"
#include "platform/Clock.h"

namespace animora::test {
namespace {

// Every signal of the gateway, recorded in order as "name(args)".
class EditSignals {
public:
    explicit EditSignals(Project& project)
    {
        auto record = [this](const QString& text) { seen << text; };
        QObject::connect(&project, &Project::framesInserted, [=](int a, int b) { record(Call("inserted", a, b)); });
        QObject::connect(&project, &Project::framesRemoved, [=](int a, int b) { record(Call("removed", a, b)); });
        QObject::connect(&project, &Project::frameMoved, [=](int a, int b) { record(Call("moved", a, b)); });
        QObject::connect(&project, &Project::framePictureChanged, [=](int a) { record(Call("picture", a)); });
        QObject::connect(&project, &Project::frameExtensionsChanged, [=](int a) { record(Call("extensions", a)); });
        QObject::connect(&project, &Project::globalColorMapChanged, [=] { record("colormap"); });
        QObject::connect(&project, &Project::previewReplaced, [=] { record("replaced"); });
        QObject::connect(&project, &Project::previewCopyChanged, [=] { record("copychanged"); });
    }
    QStringList seen;

private:
    static QString Call(const char* name, int a, int b = -1)
    {
        return b < 0 ? QStringLiteral("%1(%2)").arg(name).arg(a) : QStringLiteral("%1(%2,%3)").arg(name).arg(a).arg(b);
    }
};

TEST_F(EditorTest, FrameCommandsAnnounceExactlyWhatTheyChanged)
{
    Create(3, 8, 8);
    EditSignals seen(*project);

    commands::AddFrame(*project);
    EXPECT_EQ(seen.seen, (QStringList{"replaced", "inserted(3,1)"}));
    EXPECT_EQ(project->LastEditName(), "Add frame");

    seen.seen.clear();
    project->SetCurrentFrame(1);
    prompts.answers.push_back(PromptAnswer::Ok);
    commands::DeleteFrame(*project);
    EXPECT_EQ(seen.seen, (QStringList{"replaced", "removed(1,1)"}));
    EXPECT_EQ(project->FrameCount(), 3);

    // Optimize color map changes the preview copy alone: the copy stays.
    seen.seen.clear();
    TGIFImage* copy = project->PreviewCopy();
    window->Action(ActionId::Optimize1)->trigger();
    EXPECT_EQ(seen.seen, (QStringList{"copychanged", "colormap"}));
    EXPECT_EQ(project->PreviewCopy(), copy);
}

TEST_F(EditorTest, AFailedChangeIsStillShownAndRaisedAgain)
{
    Create(2, 8, 8);
    EditSignals seen(*project);
    EXPECT_THROW(project->Edit("Break", [](ProjectEdit& edit) {
        edit.Image().Images().DeleteAt(0);
        edit.FramesRemoved(0);
        throw std::runtime_error("disk full");
    }), std::runtime_error);
    EXPECT_EQ(seen.seen, (QStringList{"replaced", "removed(0,1)"}));
    EXPECT_EQ(project->PreviewCopy()->Images().Count(), 1);  // the preview agrees with the document
}

TEST_F(EditorTest, AnEditStopsAThreadedPainterFirst)
{
    auto previousClock = InstallClock(std::make_shared<TVirtualClock>(true));
    commands::OpenProject(*project, Corpus("muybridge.gif"));
    window->findChild<QCheckBox*>("CBThreaded")->setChecked(true);
    window->findChild<QToolButton*>("RunGif")->click();
    TGIFImage* playing = project->PreviewCopy();
    for (int i = 0; i < 1000 && !playing->DefaultPainter(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);  // the picture control draws from the loop
    ASSERT_NE(playing->DefaultPainter(), nullptr);

    bool painterRanDuringEdit = true;
    project->Edit("Look", [&](ProjectEdit& edit) {
        painterRanDuringEdit = playing->DefaultPainter() != nullptr;
        edit.FrameExtensionsChanged(0);
    });
    EXPECT_FALSE(painterRanDuringEdit);
    InstallClock(previousClock);
}

TEST_F(EditorTest, ActionStatesFollowTheContext)
{
    struct Case {
        const char* what;
        ActionContext context;
        bool save, addFrame, create, cut, paste, editMenu, frameMenu;
    } cases[] = {
        {"no project", {}, false, false, true, false, false, false, false},
        {"project", {.projectOpen = true}, true, true, true, false, false, false, true},
        {"document window", {.projectOpen = true, .documentWindowActive = true, .clipboardHasImage = true},
         true, true, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->ApplyActionStates(c.context);
        EXPECT_EQ(window->Action(ActionId::Save1)->isEnabled(), c.save);
        EXPECT_EQ(window->Action(ActionId::SaveButton)->isEnabled(), c.save);
        EXPECT_EQ(window->Action(ActionId::Addframe1)->isEnabled(), c.addFrame);
        EXPECT_EQ(window->Action(ActionId::Create1)->isEnabled(), c.create);
        // The clipboard commands act in the document window.
        EXPECT_EQ(window->Action(ActionId::Cut1)->isEnabled(), c.cut);
        EXPECT_EQ(window->Action(ActionId::Paste1)->isEnabled(), c.paste);
        EXPECT_EQ(window->Menu(MenuId::Edit)->menuAction()->isEnabled(), c.editMenu);
        EXPECT_EQ(window->Menu(MenuId::Frame)->menuAction()->isEnabled(), c.frameMenu);
    }
    // Paste's own rule: the document window and a picture on the clipboard.
    EXPECT_TRUE(RuleHolds(ActionRule::Paste, {.documentWindowActive = true, .clipboardHasImage = true}));
    EXPECT_FALSE(RuleHolds(ActionRule::Paste, {.documentWindowActive = true}));
}

TEST_F(EditorTest, OnDemandWindowsAreMadeOnceAndForgottenWhenClosed)
{
    TMdiWindows& windows = window->Windows();
    int made = 0;
    auto make = [&] {
        ++made;
        return new QWidget;
    };
    QWidget* first = windows.Show(WindowKind::Document, make);
    EXPECT_EQ(windows.Show(WindowKind::Document, make), first);
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(windows.IsActive(WindowKind::Document));
    EXPECT_TRUE(window->Menu(MenuId::Edit)->menuAction()->isEnabled());  // the context follows
    EXPECT_TRUE(windows.Close(WindowKind::Document));
    EXPECT_EQ(windows.Find(WindowKind::Document), nullptr);
    EXPECT_FALSE(window->Menu(MenuId::Edit)->menuAction()->isEnabled());
    windows.Show(WindowKind::Document, make);
    EXPECT_EQ(made, 2);
}

TEST_F(EditorTest, AFirstStartUsesMostOfTheScreen)
{
    window->LoadSettings();  // the fixture cleared every setting
    const QRect available = window->screen()->availableGeometry();
    EXPECT_GE(window->width(), available.width() * 8 / 10);
    EXPECT_GE(window->height(), available.height() * 8 / 10);
    // Far more than the old 200 x 200, even on the small offscreen screen.
    EXPECT_GE(window->PreviewWindow()->width(), 400);
    EXPECT_GE(window->PreviewWindow()->height(), 300);
}

} // namespace
} // namespace animora::test
