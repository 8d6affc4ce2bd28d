// The GIF wizard window over the editor: its pages in order, the refusals
// that leave it usable and the open project untouched, the new project it
// opens, and the menu, tool button and chooser that start it.
#include "EditorFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "app/dialogs/OpenPictureDialog.h"
#include "app/dialogs/OpenWizForm.h"
#include "app/wizard/GIFWizardForm.h"
#include "gif/GraphicControl.h"
#include "platform/Stream.h"

namespace animora::test {
namespace {

class GIFWizardTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        wizard = std::make_unique<TGIFWizardForm>(*project, window.get());
        wizard->SetRainSeed(7);
        wizard->show();
        Field("BackGroundEdit")->clear();
    }
    void TearDown() override
    {
        wizard.reset();
        EditorTest::TearDown();
    }
    QLineEdit* Field(const char* name) const { return wizard->findChild<QLineEdit*>(name); }
    template <typename Widget = QCheckBox>
    Widget* Control(const char* name) const
    {
        return wizard->findChild<Widget*>(name);
    }
    QString Page() const { return wizard->CurrentPage()->objectName(); }
    void NextToEffectPage()
    {
        wizard->NextButtonClick();
        wizard->NextButtonClick();
        ASSERT_EQ(Page(), "Panel5");
    }
    bool ButtonsUsable() const
    {
        return wizard->BackButton()->isEnabled() && wizard->NextButton()->isEnabled() &&
               wizard->CancelButton()->isEnabled() && QApplication::overrideCursor() == nullptr;
    }

    std::unique_ptr<TGIFWizardForm> wizard;
};

TEST_F(GIFWizardTest, PagesFollowTheChosenEffectBackAndForth)
{
    EXPECT_EQ(wizard->windowTitle(), "Zelqo GIF Wizard");
    EXPECT_EQ(Page(), "Panel3");
    EXPECT_FALSE(wizard->BackButton()->isEnabled());
    EXPECT_FALSE(Field("EditWidth")->isEnabled());
    Control("UseBackParam")->setChecked(false);
    EXPECT_TRUE(Field("EditWidth")->isEnabled() && Field("EditHeight")->isEnabled());

    wizard->NextButtonClick();
    EXPECT_EQ(Page(), "Panel4");
    EXPECT_TRUE(wizard->BackButton()->isEnabled());
    EXPECT_EQ(wizard->PreviewPicture().size(), QSize(150, 100));  // blank, no background
    wizard->NextButtonClick();
    const std::pair<const char*, const char*> options[] = {
        {"FallWallRB", "Panel6"}, {"RainRB", "Panel7"}, {"MoveApartRB", "Panel8"}, {"LinesRB", "Panel9"}};
    for (const auto& [radio, page] : options) {
        Control<QRadioButton>(radio)->setChecked(true);
        wizard->NextButtonClick();
        EXPECT_EQ(Page(), page);
        wizard->BackButtonClick();
        EXPECT_EQ(Page(), "Panel5");
    }
    wizard->BackButtonClick();
    wizard->BackButtonClick();
    EXPECT_EQ(Page(), "Panel3");
    EXPECT_FALSE(wizard->BackButton()->isEnabled());
    EXPECT_EQ(project->FrameCount(), 0);
}

TEST_F(GIFWizardTest, TheTextPreviewShowsTheTextOnlyWhenViewed)
{
    Control("UseBackParam")->setChecked(false);
    Field("EditWidth")->setText("90");
    Field("EditHeight")->setText("40");
    wizard->NextButtonClick();
    const QImage blank = wizard->PreviewPicture();
    ASSERT_EQ(blank.size(), QSize(90, 40));
    Field("EditText")->setText("Hi");
    wizard->SetTextColor(Qt::red);
    wizard->findChild<QPushButton*>("ViewButton")->click();
    EXPECT_NE(wizard->PreviewPicture(), blank);
    EXPECT_EQ(wizard->PreviewPicture().pixelColor(0, 0), QColor(Qt::white));  // left 2, top 2
}

// Both refusals come before the open project is touched, and leave the
// wizard's buttons and cursor as they were so the user can go back.
TEST_F(GIFWizardTest, RefusalsLeaveTheProjectAndTheWizardUsable)
{
    Create(3, 20, 20);
    struct Case {
        const char* background;
        const char* count;
        const char* effect;
        const char* message;
    } cases[] = {
        {"/nowhere/back.jpg", "10", "NoneRB", "Background file not found."},
        {"", "ten", "NoneRB", "One of parameter = 0."},
        {"", "1", "RainRB", wizard::kTooFewFrames},
        {"", "2", "FallWallRB", wizard::kTooFewFrames},
    };
    Control("FullRound")->setChecked(true);
    for (const Case& c : cases) {
        Field("BackGroundEdit")->setText(c.background);
        Field("EditCount")->setText(c.count);
        NextToEffectPage();
        Control<QRadioButton>(c.effect)->setChecked(true);
        wizard->NextButtonClick();
        if (Page() != "Panel5")
            wizard->NextButtonClick();  // an option page
        EXPECT_EQ(prompts.TakeTexts(), QStringList{c.message});
        EXPECT_TRUE(ButtonsUsable()) << c.message;
        EXPECT_EQ(project->FrameCount(), 3);
        EXPECT_FALSE(wizard->isHidden());
        while (Page() != "Panel3")
            wizard->BackButtonClick();
    }
}

TEST_F(GIFWizardTest, FinishingOpensTheNewGifAsTheProject)
{
    Create(3, 20, 20);
    NextToEffectPage();
    prompts.answers.push_back(PromptAnswer::Cancel);  // "Save changes?": back to the wizard
    wizard->NextButtonClick();
    EXPECT_TRUE(ButtonsUsable());
    EXPECT_EQ(project->FrameCount(), 3);
    prompts.shown.clear();
    prompts.answers.push_back(PromptAnswer::No);
    wizard->NextButtonClick();  // None finishes
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Save changes?");
    EXPECT_EQ(prompts.shown[0].caption, "Warning");
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::YesNoCancel);

    EXPECT_TRUE(wizard->isHidden());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: New Gif");
    EXPECT_EQ(window->StatusText(1), "Ready");
    EXPECT_TRUE(project->IsOpen());
    EXPECT_TRUE(project->FileName().isEmpty());
    EXPECT_EQ(FrameListItems(), Numbers(10));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(DocumentFrame(i).Width(), 150);
        EXPECT_EQ(DocumentFrame(i).GraphicControl()->Delay(), 10);
    }
    EXPECT_TRUE(window->Action(ActionId::Save1)->isEnabled());
}

// The window and animora-cli wizard make the same file from the same choices.
TEST_F(GIFWizardTest, TheEditorBuildsWhatTheCommandLineBuilds)
{
    Field("EditCount")->setText("4");
    Field("EditN1")->setText("50");
    Control("LoopCheckBox")->setChecked(true);
    wizard->NextButtonClick();
    Field("EditText")->setText("Same");
    wizard->SetTextFont(QFont("DejaVu Sans", 16));
    wizard->SetTextColor(QColor(200, 0, 0));
    Field("LeftPos")->setText("8");
    Field("TopEdit")->setText("30");
    wizard->NextButtonClick();
    Control<QRadioButton>("LinesRB")->setChecked(true);
    wizard->NextButtonClick();
    Field("EditLines")->setText("3");
    Control<QRadioButton>("Vert")->setChecked(true);
    wizard->NextButtonClick();
    ASSERT_EQ(project->FrameCount(), 4);

    TMemoryStream editor;
    project->Document()->SaveToStream(editor);
    const QString cli = TempPath("cli.gif");
    QProcess process;
    process.start(ANIMORA_CLI_PATH, {"wizard", cli, "--frames", "4", "--delay", "50", "--loop", "--text", "Same",
                                     "--font", "DejaVu Sans", "--font-size", "16", "--color", "#c80000", "--left",
                                     "8", "--top", "30", "--effect", "lines", "--lines", "3", "--vertical"});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QFile file(cli);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), editor.Bytes());
}

TEST_F(GIFWizardTest, TheBrowseButtonStartsInTheImageFolder)
{
    prompts.Answer<OpenPictureQuestion>(QStringLiteral("/pictures/sky.bmp"));
    wizard->findChild<QPushButton*>("ChoseBack")->click();
    ASSERT_EQ(prompts.Asked<OpenPictureQuestion>().size(), 1u);
    EXPECT_EQ(prompts.Asked<OpenPictureQuestion>()[0].directory, WizardImageFolder());
    EXPECT_TRUE(WizardImageFolder().endsWith("/Image"));
    EXPECT_EQ(Field("BackGroundEdit")->text(), "/pictures/sky.bmp");
}

// The menu item, the tool button and the chooser all open the wizard, modally.
TEST_F(EditorTest, TheWizardIsReachedFromMenuToolbarAndChooser)
{
    int shown = 0;
    const auto closeWizard = [&shown] {
        QTimer::singleShot(0, [&shown] {
            if (auto* form = qobject_cast<TGIFWizardForm*>(QApplication::activeModalWidget())) {
                ++shown;
                form->reject();
            }
        });
    };
    closeWizard();
    window->Action(ActionId::GIFWizard1)->trigger();
    closeWizard();
    window->findChild<QToolButton*>("WizardButton")->click();
    closeWizard();
    window->Chooser()->show();
    window->Chooser()->findChild<QToolButton*>("WizBtn")->click();
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(window->Chooser()->isHidden());
    EXPECT_EQ(project->FrameCount(), 0);
}

} // namespace
} // namespace animora::test
