// The Effect menu through the main window: each command redraws exactly the
// frames of its run, as the engine and animora-cli do on the same file;
// refused values and Cancel change nothing; rain reports each frame.
#include "EditorFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "app/FrameRendering.h"
#include "app/QtPrompts.h"
#include "app/commands/EffectCommands.h"
#include "app/dialogs/FallWallForm.h"
#include "app/dialogs/LinesForm.h"
#include "app/dialogs/MoveApartForm.h"
#include "app/dialogs/RainForm.h"
#include "effects/Effects.h"

namespace animora::test {
namespace {

using namespace effects;

// 15 frames of 30 x 20 sharing the global colour map.
constexpr const char* kHorse = "muybridge.gif";
constexpr int kHorseFrames = 15;

std::vector<QImage> Pictures(const TGIFImage& image)
{
    std::vector<QImage> pictures;
    for (int i = 0; i < image.Images().Count(); ++i)
        pictures.push_back(RenderFrameImage(*image.Images().SubImage(i)));
    return pictures;
}

class EffectCommandsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QObject::connect(project.get(), &Project::framePictureChanged,
                         [this](int i) { seen << QString("picture(%1)").arg(i); });
        QObject::connect(project.get(), &Project::frameExtensionsChanged,
                         [this](int i) { seen << QString("extensions(%1)").arg(i); });
        QObject::connect(project.get(), &Project::previewReplaced, [this] { seen << "replaced"; });
    }
    void OpenHorse()
    {
        commands::OpenProject(*project, Corpus(kHorse));
        ASSERT_EQ(project->FrameCount(), kHorseFrames);
        before = Pictures(*project->Document());
        hadExtensions.clear();
        for (int i = 0; i < kHorseFrames; ++i)
            hadExtensions.push_back(DocumentFrame(i).Extensions().Count() > 0);
        seen.clear();
    }
    // What the command line makes of the same file.
    std::vector<QImage> CommandLine(const QStringList& options)
    {
        const QString out = TempPath("cli.gif");
        QProcess cli;
        cli.start(ANIMORA_CLI_PATH, QStringList{"effect", Corpus(kHorse), out} + options);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        TGIFImage image;
        image.LoadFromFile(out.toStdString());
        return Pictures(image);
    }
    void ExpectUnchanged()
    {
        EXPECT_EQ(seen, QStringList());
        EXPECT_TRUE(project->LastEditName().isEmpty());
        EXPECT_TRUE(Pictures(*project->Document()) == before);
    }

    std::vector<QImage> before;
    std::vector<bool> hadExtensions;
    // "picture(i)", "extensions(i)" and "replaced", as the gateway announced them.
    QStringList seen;
};

struct CommandCase {
    const char* name;       // the change's name, as Edit keeps it
    QStringList cli;        // the same run on the command line
    int first, count;       // F and C
    std::function<void(ScriptedPrompts&, TGiffer&, Project&)> run;
};

TEST_F(EffectCommandsTest, EachCommandRedrawsItsRunAsTheCommandLineDoes)
{
    const std::vector<CommandCase> cases = {
        {"Fall wall", {"--effect", "fallwall", "--first", "3", "--count", "5", "--direction", "right-left",
                       "--mode", "squeeze"}, 3, 5,
         [](ScriptedPrompts& prompts, TGiffer& window, Project&) {
             TFallWallParams params;
             params.firstFrame = 3;
             params.frameCount = 5;
             params.direction = fdRightToLeft;
             params.mode = fmSqueeze;
             prompts.Answer<FallWallQuestion>(params);
             window.Action(ActionId::Fallwall1)->trigger();
         }},
        {"Fall wall", {"--effect", "fallwall", "--count", "4", "--mode", "unfold", "--copy"}, 1, 4,
         [](ScriptedPrompts& prompts, TGiffer& window, Project&) {
             TFallWallParams params;
             params.frameCount = 4;
             params.mode = fmUnfold;
             params.copyFrame = true;
             prompts.Answer<FallWallQuestion>(params);
             window.Action(ActionId::Fallwall1)->trigger();
         }},
        {"Rain", {"--effect", "rain", "--first", "2", "--count", "4", "--seed", "4242"}, 2, 4,
         [](ScriptedPrompts& prompts, TGiffer&, Project& project) {
             TRainParams params;
             params.firstFrame = 2;
             params.frameCount = 4;
             prompts.Answer<RainQuestion>(params);
             commands::Rain(project, 4242);
         }},
        {"Move apart", {"--effect", "moveapart", "--first", "10", "--count", "6", "--vertical", "--diminish",
                        "--scale", "--no-palette"}, 10, 6,
         [](ScriptedPrompts& prompts, TGiffer& window, Project&) {
             TMoveApartParams params;
             params.firstFrame = 10;
             params.frameCount = 6;
             params.orientation = orVertical;
             params.kind = mkDiminish;
             params.scale = true;
             params.useLastFramePalette = false;
             prompts.Answer<MoveApartQuestion>(params);
             window.Action(ActionId::Moveapart1)->trigger();
         }},
        {"Lines", {"--effect", "lines", "--first", "12", "--count", "4", "--lines", "3", "--vertical"}, 12, 4,
         [](ScriptedPrompts& prompts, TGiffer& window, Project&) {
             TLinesParams params;
             params.firstFrame = 12;
             params.lines = 3;
             params.orientation = orVertical;
             prompts.Answer<LinesQuestion>(params);
             window.Action(ActionId::Lines1)->trigger();
         }},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.cli.join(' ').toStdString());
        OpenHorse();
        const std::vector<QImage> expected = CommandLine(c.cli);
        ASSERT_EQ(int(expected.size()), kHorseFrames);

        c.run(prompts, *window, *project);
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(project->LastEditName(), c.name);

        const std::vector<QImage> after = Pictures(*project->Document());
        const int first = c.first - 1, last = c.first + c.count - 2;
        QStringList announced{"replaced"};
        int redrawn = 0;
        for (int i = 0; i < kHorseFrames; ++i) {
            EXPECT_TRUE(after[i] == expected[i]) << "frame " << i;
            if (i >= first && i < last) {
                announced << QString("picture(%1)").arg(i);
                EXPECT_EQ(DocumentFrame(i).Extensions().Count(), 0);  // the write-back drops them
                if (hadExtensions[i])
                    announced << QString("extensions(%1)").arg(i);
                redrawn += after[i] != before[i];
            } else {
                EXPECT_TRUE(after[i] == before[i]) << "frame " << i << " lies outside the run";
            }
        }
        EXPECT_GT(redrawn, 0);
        EXPECT_EQ(seen, announced);
        // The preview shows the document as it is now.
        EXPECT_TRUE(Pictures(*project->PreviewCopy()) == after);
        commands::CloseProject(*project);
    }
}

TEST_F(EffectCommandsTest, RefusedValuesShowTheirTextAndChangeNothing)
{
    struct Refusal {
        const char* message;
        std::function<void(ScriptedPrompts&)> answer;
        ActionId action;
    };
    const auto fallWall = [](int first, int count) {
        TFallWallParams params;
        params.firstFrame = first;
        params.frameCount = count;
        return params;
    };
    const std::vector<Refusal> refusals = {
        {kFirstFrameMessage, [&](ScriptedPrompts& p) { p.Answer<FallWallQuestion>(fallWall(0, 3)); }, ActionId::Fallwall1},
        {kCountMessage, [&](ScriptedPrompts& p) { p.Answer<FallWallQuestion>(fallWall(1, 1)); }, ActionId::Fallwall1},
        // F + C - 1 one past the last frame.
        {kRangeMessage, [&](ScriptedPrompts& p) { p.Answer<FallWallQuestion>(fallWall(14, 3)); }, ActionId::Fallwall1},
        {kRangeMessage,
         [](ScriptedPrompts& p) {
             TRainParams params;
             params.frameCount = kHorseFrames + 1;
             p.Answer<RainQuestion>(params);
         },
         ActionId::Rain1},
        {kCountMessage,
         [](ScriptedPrompts& p) {
             TMoveApartParams params;
             params.frameCount = 0;
             p.Answer<MoveApartQuestion>(params);
         },
         ActionId::Moveapart1},
        {kLinesMessage,
         [](ScriptedPrompts& p) {
             TLinesParams params;
             params.lines = 0;
             p.Answer<LinesQuestion>(params);
         },
         ActionId::Lines1},
        {kRangeMessage,
         [](ScriptedPrompts& p) {
             TLinesParams params;
             params.firstFrame = 13;
             p.Answer<LinesQuestion>(params);
         },
         ActionId::Lines1},
    };
    OpenHorse();
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message);
        refusal.answer(prompts);
        window->Action(refusal.action)->trigger();
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, refusal.message);
        EXPECT_EQ(prompts.shown[0].caption, "Error!");
        EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
        prompts.shown.clear();
        ExpectUnchanged();
    }
}

TEST_F(EffectCommandsTest, CancelChangesNothing)
{
    OpenHorse();
    for (ActionId id : {ActionId::Fallwall1, ActionId::Rain1, ActionId::Moveapart1, ActionId::Lines1})
        window->Action(id)->trigger();  // nothing queued: every dialog is cancelled
    EXPECT_EQ(prompts.Asked<FallWallQuestion>().size(), 1u);
    EXPECT_EQ(prompts.Asked<RainQuestion>().size(), 1u);
    EXPECT_EQ(prompts.Asked<MoveApartQuestion>().size(), 1u);
    EXPECT_EQ(prompts.Asked<LinesQuestion>().size(), 1u);
    EXPECT_TRUE(prompts.shown.empty());
    ExpectUnchanged();
}

TEST_F(EffectCommandsTest, RainReportsEachFrameUnderTheBusyCursorThenReady)
{
    OpenHorse();
    QStringList texts;
    QList<int> cursors;
    // Writing each frame back reports its conversion as well.
    QObject::connect(project.get(), &Project::progress, [&](int, const QString& text) {
        if (!text.startsWith("Build image:") && text != "Ready")
            return;
        texts << window->StatusText(0);
        const QCursor* cursor = QApplication::overrideCursor();
        cursors << (cursor ? int(cursor->shape()) : -1);
    });
    TRainParams params;
    params.firstFrame = 5;
    params.frameCount = 4;
    prompts.Answer<RainQuestion>(params);
    window->Action(ActionId::Rain1)->trigger();
    EXPECT_EQ(texts.filter("Build image:"), (QStringList{"Build image:4", "Build image:5", "Build image:6"}));
    EXPECT_EQ(texts.last(), "Ready");
    EXPECT_EQ(cursors, QList<int>(texts.size(), int(Qt::BusyCursor)));
    EXPECT_EQ(window->StatusText(0), "Ready");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The clock seeds each run anew: the same run on the same frames strews
    // other pixels.
    const std::vector<QImage> first = Pictures(*project->Document());
    commands::CloseProject(*project);
    OpenHorse();
    prompts.Answer<RainQuestion>(params);
    window->Action(ActionId::Rain1)->trigger();
    EXPECT_FALSE(Pictures(*project->Document()) == first);
}

TEST_F(EffectCommandsTest, MenuItemsNeedAnOpenProjectAndCarryTheirHints)
{
    const std::pair<ActionId, const char*> items[] = {
        {ActionId::Fallwall1, "Transformations occurs as a put forward wall."},
        {ActionId::Rain1, "Transformations occurs as strewed pixels."},
        {ActionId::Moveapart1, "Transformations occurs as move apart"},
        {ActionId::Lines1, ""},
    };
    for (const auto& [id, hint] : items) {
        EXPECT_FALSE(window->Action(id)->isEnabled());
        EXPECT_EQ(window->Action(id)->statusTip(), hint);
    }
    OpenHorse();
    for (const auto& [id, hint] : items)
        EXPECT_TRUE(window->Action(id)->isEnabled());
    EXPECT_EQ(window->Action(ActionId::Fallwall1)->text(), "Fall wall");
    EXPECT_FALSE(window->Action(ActionId::Mosaic1)->isVisible());
    EXPECT_FALSE(window->Action(ActionId::Mosaic1)->isEnabled());
}

// The real dialogs through the editor's prompts: what they answer comes from
// their controls, and they keep their values for the next use.
template <typename Question>
std::optional<typename Question::Answer> AskAndAct(QtPrompts& prompts, const std::function<void(QDialog&)>& act)
{
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
    return prompts.Ask(Question{});
}

template <typename T>
T& Control(QDialog& dialog, const char* name)
{
    T* control = dialog.findChild<T*>(name);
    if (!control)
        throw std::runtime_error(std::string("no control ") + name);
    return *control;
}

void Accept(QDialog& dialog) { Control<QPushButton>(dialog, "Button1").click(); }
void Cancel(QDialog& dialog) { Control<QPushButton>(dialog, "Button2").click(); }

TEST_F(EffectCommandsTest, DialogsAnswerWhatTheirControlsHoldAndKeepIt)
{
    QtPrompts real;
    real.SetParentWindow(window.get());

    // Fall wall: untouched, the defaults; Scale squeezes and locks Unfold.
    auto fall = AskAndAct<FallWallQuestion>(real, Accept);
    ASSERT_TRUE(fall);
    EXPECT_EQ(fall->firstFrame, 1);
    EXPECT_EQ(fall->frameCount, 3);
    EXPECT_TRUE(fall->useLastFramePalette);
    EXPECT_FALSE(fall->copyFrame);
    EXPECT_EQ(fall->direction, fdUpToDown);
    EXPECT_EQ(fall->mode, fmSlide);
    fall = AskAndAct<FallWallQuestion>(real, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Fall wall");
        EXPECT_EQ(Control<QComboBox>(d, "FallCB").itemText(1), "Down to  Up");
        Control<QComboBox>(d, "FallCB").setCurrentIndex(3);
        Control<QSpinBox>(d, "FirstFrame").setValue(4);
        Control<QCheckBox>(d, "Unfold").setChecked(true);
        Control<QCheckBox>(d, "ScaleCB").click();
        EXPECT_FALSE(Control<QCheckBox>(d, "Unfold").isEnabled());
        Accept(d);
    });
    ASSERT_TRUE(fall);
    EXPECT_EQ(fall->direction, fdRightToLeft);
    EXPECT_EQ(fall->firstFrame, 4);
    EXPECT_EQ(fall->mode, fmSqueeze);
    fall = AskAndAct<FallWallQuestion>(real, [](QDialog& d) {
        EXPECT_EQ(Control<QSpinBox>(d, "FirstFrame").value(), 4);  // kept from the last use
        Control<QCheckBox>(d, "ScaleCB").click();
        EXPECT_TRUE(Control<QCheckBox>(d, "Unfold").isEnabled());
        Accept(d);
    });
    ASSERT_TRUE(fall);
    EXPECT_EQ(fall->mode, fmUnfold);
    EXPECT_FALSE(AskAndAct<FallWallQuestion>(real, Cancel));

    auto rain = AskAndAct<RainQuestion>(real, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Rain");
        Control<QCheckBox>(d, "UsePaslette").setChecked(false);
        Control<QCheckBox>(d, "CopyFrame").setChecked(true);
        Control<QSpinBox>(d, "CountFrame").setValue(0);  // typed, and left to the command to refuse
        Accept(d);
    });
    ASSERT_TRUE(rain);
    EXPECT_FALSE(rain->useLastFramePalette);
    EXPECT_TRUE(rain->copyFrame);
    EXPECT_EQ(rain->frameCount, 0);

    auto apart = AskAndAct<MoveApartQuestion>(real, [](QDialog& d) {
        EXPECT_EQ(Control<QCheckBox>(d, "CopyFrame").text(), "Copy first frame to all");
        Control<QRadioButton>(d, "Vertical").setChecked(true);
        Control<QRadioButton>(d, "DiminishButton").setChecked(true);
        Control<QCheckBox>(d, "Scale").setChecked(true);
        Accept(d);
    });
    ASSERT_TRUE(apart);
    EXPECT_EQ(apart->orientation, orVertical);
    EXPECT_EQ(apart->kind, mkDiminish);
    EXPECT_TRUE(apart->scale);

    auto lines = AskAndAct<LinesQuestion>(real, [](QDialog& d) {
        EXPECT_TRUE(Control<QSpinBox>(d, "CountFrame").isReadOnly());
        EXPECT_TRUE(Control<QCheckBox>(d, "CopyFrame").isChecked());
        Control<QSpinBox>(d, "EditCount").setValue(7);
        Control<QRadioButton>(d, "Vert").setChecked(true);
        Accept(d);
    });
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->frameCount, 4);
    EXPECT_EQ(lines->lines, 7);
    EXPECT_EQ(lines->orientation, orVertical);
}

} // namespace
} // namespace animora::test
