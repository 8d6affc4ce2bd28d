// The main window's shape and its settings: menu items, enabled states,
// toolbar rows, the saved window places, the chooser, File.dat and the
// preview's play options.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSpinBox>
#include <QTextStream>
#include <QToolBar>

#include "app/About.h"
#include "app/EditorFixture.h"
#include "app/dialogs/OpenWizForm.h"

namespace animora::test {
namespace {

TEST_F(EditorTest, ThePasteStateFollowsTheClipboard)
{
    QClipboard* clipboard = QApplication::clipboard();
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    clipboard->setImage(picture);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->ClipboardHasBitmap());
    clipboard->setText(QStringLiteral("no picture"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->ClipboardHasBitmap());
    // Without a document window there is nothing to paste into.
    clipboard->setImage(picture);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->Action(ActionId::Paste1)->isEnabled());
    EXPECT_FALSE(window->Action(ActionId::PasteButton)->isEnabled());
    clipboard->clear();
}

TEST_F(EditorTest, MenuItemsHaveTheirCaptionsShortcutsAndStates)
{
    struct Item {
        ActionId id;
        const char* caption;
        const char* shortcut;
        bool enabledWithProject;
    } items[] = {
        {ActionId::Create1, "Create", "", true},
        {ActionId::Open1, "Open project", "Ctrl+O", true},
        {ActionId::Save1, "Save project", "Ctrl+S", true},
        {ActionId::Saveas1, "Save as . . . ", "", true},
        {ActionId::GIFWizard1, "GIF Wizard", "", true},
        {ActionId::MapofGIF1, "Import wizard", "", true},
        {ActionId::Optimize1, "Optimize color map", "", true},
        {ActionId::Close1, "Exit", "Alt+F4", true},
        {ActionId::Undo1, "Undo", "Ctrl+Z", false},
        {ActionId::Redo1, "Redo", "Ctrl+Shift+Z", false},
        {ActionId::Copy1, "Copy", "Ctrl+Ins", false},
        {ActionId::Paste1, "Paste", "Shift+Ins", false},
        {ActionId::Save2, "Save current frame", "Alt+S", false},
        {ActionId::Exchange1, "Echange by places", "", true},
        {ActionId::Addframe1, "Add frame", "", true},
        {ActionId::Edit1, "Edit preview frame", "Ctrl+E", true},
        {ActionId::Delete1, "Delete preview frame", "Ctrl+D", true},
        {ActionId::Frameoption1, "Frame option", "", true},
        {ActionId::Moveframe1, "Move frame", "", true},
        {ActionId::Scan1, "Scaning frame", "", true},
        {ActionId::Scale50B, "+ 50%", "Ctrl+PgDown", false},
        {ActionId::Realsize1, "Real size", "Ctrl+Home", false},
        {ActionId::Previous1, "Previous", "Ctrl+Shift+F6", true},
        {ActionId::Homepage1, "Zelqo home page", "", true},
    };
    Create(1, 4, 4);
    for (const Item& item : items) {
        SCOPED_TRACE(Spec(item.id).objectName);
        QAction* action = window->Action(item.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), item.caption);
        EXPECT_EQ(action->shortcut().toString(), item.shortcut);
        EXPECT_EQ(action->isEnabled(), item.enabledWithProject);
    }
    EXPECT_FALSE(window->Action(ActionId::Mosaic1)->isVisible());
    EXPECT_TRUE(window->Action(ActionId::TextButton)->isVisible());  // the text tool is reachable
    EXPECT_TRUE(window->Action(ActionId::CursorlButton)->isChecked());
    EXPECT_EQ(window->Action(ActionId::ImportButton)->toolTip(), "Import Wizard");
    EXPECT_EQ(window->Action(ActionId::ImportButton)->statusTip(), "Easy import frame from file");
}

TEST_F(EditorTest, TheRecentListKeepsSevenDistinctEntries)
{
    RecentProjects recent;
    for (int i = 1; i <= 8; ++i)
        recent.Add(QStringLiteral("/p/%1.gif").arg(i));
    EXPECT_EQ(recent.Entries().first(), "/p/2.gif");
    recent.Add("/p/5.gif");  // already there: keeps its place
    recent.Add("/P/5.gif");  // differs in case: a new entry, and the oldest goes
    EXPECT_EQ(recent.Entries(), (QStringList{"/p/3.gif", "/p/4.gif", "/p/5.gif", "/p/6.gif", "/p/7.gif",
                                             "/p/8.gif", "/P/5.gif"}));
}

TEST_F(EditorTest, OpeningAnEighthFileDropsTheOldest)
{
    const char* files[] = {"animated-red-blue.gif", "bricks-dither.gif", "bricks-gray.gif", "bricks-nodither.gif",
                           "hat.gif", "pjw-thumbnail.gif", "waves.gif", "harvesters.gif"};
    for (const char* file : files)
        commands::OpenProject(*project, Corpus(file));
    const QStringList entries = project->Recent().Entries();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_TRUE(entries.first().endsWith("bricks-dither.gif"));
    EXPECT_TRUE(entries.last().endsWith("harvesters.gif"));
    EXPECT_EQ(window->findChild<QMenu*>("Lastprojects1")->actions().size(), 7);
}

TEST_F(EditorTest, FileDatIsReadAtStartAndWrittenAtClose)
{
    {
        QFile file(TempPath("File.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("/a/one.gif\r\n/b/two & more.gif\n\n/c/three.bmp\n");
    }
    QSettings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication).setValue("Option/ShowOpenWiz", "0");
    window->StartUp(QString());
    EXPECT_EQ(project->Recent().Entries(), (QStringList{"/a/one.gif", "/b/two & more.gif", "/c/three.bmp"}));
    EXPECT_EQ(window->findChild<QMenu*>("Lastprojects1")->actions().at(1)->text(), "/b/two && more.gif");
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro");

    ASSERT_TRUE(window->close());
    EXPECT_EQ(ReadFileText(TempPath("File.dat").toStdString()), "/a/one.gif\n/b/two & more.gif\n/c/three.bmp\n");
}

TEST_F(EditorTest, StartUpOpensTheCommandLineFile)
{
    QSettings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication).setValue("Option/ShowOpenWiz", "0");
    window->StartUp(Corpus("hat.gif"));
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: hat.gif");
    EXPECT_TRUE(project->IsOpen());
    EXPECT_EQ(FrameListItems(), Numbers(project->FrameCount()));
}

TEST_F(EditorTest, DefaultsPutTheDrawingToolsBesideTheProjectBar)
{
    const WindowSettings defaults = Settings::LoadWindow();
    EXPECT_EQ(defaults.normalGeometry, QRect(600, 400, 600, 400));
    EXPECT_EQ(defaults.previewGeometry, QRect(100, 100, 200, 200));
    EXPECT_EQ(defaults.windowState, 0);
    window->LoadSettings();
    auto* bar1 = window->findChild<QToolBar*>("ToolBar1");
    auto* bar4 = window->findChild<QToolBar*>("ToolBar4");
    auto* bar3 = window->findChild<QToolBar*>("ToolBar3");
    EXPECT_EQ(bar1->y(), bar4->y());
    EXPECT_LT(bar1->x(), bar4->x());
    EXPECT_GT(bar3->y(), bar1->y());
}

TEST_F(EditorTest, ClosingWritesSettingsAsTheTableSays)
{
    struct Case {
        const char* name;
        Qt::WindowState state;
        const char* winState;
        bool geometryWritten;
    } cases[] = {{"normal", Qt::WindowNoState, "0", true}, {"maximised", Qt::WindowMaximized, "2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        {
            QSettings settings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication);
            settings.setValue("Option/Width", "555");
            settings.setValue("Option/Heigth", "333");
        }
        window->LoadSettings();
        window->setGeometry(20, 30, 640, 480);
        window->setWindowState(c.state);
        ASSERT_TRUE(window->close());
        EXPECT_EQ(SettingText("WinState"), c.winState);
        EXPECT_EQ(SettingText("Width"), c.geometryWritten ? "640" : "555");
        EXPECT_EQ(SettingText("Heigth"), c.geometryWritten ? "480" : "333");
        for (const char* key : {"TB1Left", "TB1Top", "TB2Left", "TB2Top", "TB3Left", "TB3Top", "PreviewLeft",
                                "PreviewTop", "PreviewWidth", "PreviewHeight"}) {
            bool isNumber = false;
            SettingText(key).toInt(&isNumber);
            EXPECT_TRUE(isNumber) << key;
        }
        EXPECT_EQ(SettingText("TB1Top"), "2");
        EXPECT_EQ(SettingText("TB3Top"), "28");
    }
}

TEST_F(EditorTest, ArrangeIconsPutsAMinimisedPreviewAtTheBottomLeft)
{
    window->resize(800, 600);
    QMdiSubWindow* preview = window->PreviewWindow();
    preview->showMinimized();
    preview->move(300, 40);
    window->Action(ActionId::ArrangeIcons1)->trigger();
    EXPECT_EQ(preview->x(), 0);
    EXPECT_EQ(preview->geometry().bottom(), preview->mdiArea()->viewport()->rect().bottom());
}

TEST_F(EditorTest, AMaximisedPreviewKeepsItsSavedPlace)
{
    {
        QSettings settings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication);
        settings.setValue("Option/PreviewWidth", "321");
    }
    window->LoadSettings();
    window->PreviewWindow()->showMaximized();
    ASSERT_TRUE(window->close());
    EXPECT_EQ(SettingText("PreviewWidth"), "321");
}

TEST_F(EditorTest, TheChooserStoresShowNextTimeHoweverItCloses)
{
    TOpenWizForm* chooser = window->Chooser();
    EXPECT_EQ(chooser->windowTitle(), "Zelqo Animora");
    EXPECT_TRUE(chooser->findChild<QWidget*>("WizBtn")->isEnabled());
    EXPECT_TRUE(chooser->findChild<QWidget*>("ImportBtn")->isEnabled());
    for (bool show : {false, true}) {
        chooser->show();
        chooser->ShowNextTime()->setChecked(show);
        chooser->reject();  // the close box
        EXPECT_EQ(SettingText("ShowOpenWiz"), show ? "1" : "0");
        EXPECT_EQ(Settings::ShowOpenWiz(), show);
    }
}

TEST_F(EditorTest, SpeedGoesToTheDefaultsAsTypedAndToThePreviewClamped)
{
    Create(2, 8, 8);
    const int saved = GIFImageDefaults().animationSpeed;
    auto* speed = window->findChild<QSpinBox*>("SpeedEdit");
    for (int typed : {1500, -20, 250}) {
        speed->setValue(typed);
        EXPECT_EQ(GIFImageDefaults().animationSpeed, typed);
        EXPECT_EQ(project->PreviewCopy()->AnimationSpeed(), std::clamp(typed, 0, 1000));
    }
    GIFImageDefaults().animationSpeed = saved;
}

TEST(About, NamesTheProgramAndTheLibrariesWithTheirLicences)
{
    const QString text = AboutText();
    for (const char* part : {"Animora Pro 1.0", "Zelqo", "Qt ", "LGPL", "libjpeg-turbo", "Independent JPEG Group", "SANE"})
        EXPECT_TRUE(text.contains(part)) << part;
}

TEST(PlayOptions, CheckBoxesBecomeDrawingOptions)
{
    struct Case {
        const char* name;
        PlayChecks checks;
        uint16_t options;
    } cases[] = {
        {"defaults, stopped", PlayChecks{},
         drLoop | drTransparent | drDither | drAutoDither | drLoopForever | drUnbuffered},
        {"running", PlayChecks{.running = true},
         drAnimate | drLoop | drTransparent | drDither | drAutoDither | drLoopForever | drUnbuffered},
        {"buffered alone stays unbuffered",
         PlayChecks{.loop = false, .transparent = false, .dither = false, .autoDither = false, .buffered = true},
         drLoop | drUnbuffered},
        {"threaded and buffered",
         PlayChecks{.loop = false, .transparent = false, .dither = false, .autoDither = false, .threaded = true,
                    .buffered = true},
         drLoop | drThreaded},
        {"tile", PlayChecks{.loop = false, .tile = true, .transparent = false, .dither = false, .autoDither = false},
         drLoop | drTile | drUnbuffered},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawOptionsFor(c.checks), c.options) << c.name;
}

} // namespace
} // namespace animora::test
