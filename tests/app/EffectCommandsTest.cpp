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

// Queues the dialog's answer: its defaults with F and C, then `more`.
template <typename Question>
std::function<void(ScriptedPrompts&)> Answer(int first, int count,
                                             std::function<void(typename Question::Answer&)> more = {})
{
    return [=](ScriptedPrompts& prompts) {
        typename Question::Answer params;
        params.firstFrame = first;
        params.frameCount = count;
        if (more)
            more(params);
        prompts.Answer<Question>(params);
    };
}

// Rain runs with the seed the command line is given.
void Trigger(TGiffer& window, Project& project, ActionId id)
{
    if (id == ActionId::Rain1)
        commands::Rain(project, 4242);
    else
        window.Action(id)->trigger();
}

TEST_F(EffectCommandsTest, EachCommandRedrawsItsRunAsTheCommandLineDoes)
{
    struct Case {
        const char* name;  // the change's name, as Edit keeps it
        QStringList cli;   // the same run on the command line
        int first, count;
        std::function<void(ScriptedPrompts&)> answer;
        ActionId action;
    };
    const Case cases[] = {
        {"Fall wall", {"--direction", "right-left", "--mode", "squeeze"}, 3, 5,
         Answer<FallWallQuestion>(3, 5, [](auto& p) { p.direction = fdRightToLeft, p.mode = fmSqueeze; }),
         ActionId::Fallwall1},
        {"Fall wall", {"--mode", "unfold", "--copy"}, 1, 4,
         Answer<FallWallQuestion>(1, 4, [](auto& p) { p.mode = fmUnfold, p.copyFrame = true; }), ActionId::Fallwall1},
        {"Rain", {"--seed", "4242"}, 2, 4, Answer<RainQuestion>(2, 4), ActionId::Rain1},
        {"Move apart", {"--vertical", "--diminish", "--scale", "--no-palette"}, 10, 6,
         Answer<MoveApartQuestion>(10, 6, [](auto& p) {
             p.orientation = orVertical, p.kind = mkDiminish, p.scale = true, p.useLastFramePalette = false;
         }),
         ActionId::Moveapart1},
        {"Lines", {"--lines", "3", "--vertical"}, 12, 4,
         Answer<LinesQuestion>(12, 4, [](auto& p) { p.lines = 3, p.orientation = orVertical; }), ActionId::Lines1},
    };
    for (const Case& c : cases) {
        const QStringList cli = QStringList{"--effect", QString(c.name).remove(' ').toLower(), "--first",
                                            QString::number(c.first), "--count", QString::number(c.count)} +
                                c.cli;
        SCOPED_TRACE(cli.join(' ').toStdString());
        OpenHorse();
        const std::vector<QImage> expected = CommandLine(cli);
        ASSERT_EQ(int(expected.size()), kHorseFrames);

        c.answer(prompts);
        Trigger(*window, *project, c.action);
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
        EXPECT_TRUE(Pictures(*project->PreviewCopy()) == after);  // the preview shows the document as it is
        commands::CloseProject(*project);
    }
}

TEST_F(EffectCommandsTest, RefusedValuesShowTheirTextAndChangeNothing)
{
    const std::tuple<const char*, std::function<void(ScriptedPrompts&)>, ActionId> refusals[] = {
        {kFirstFrameMessage, Answer<FallWallQuestion>(0, 3), ActionId::Fallwall1},
        {kCountMessage, Answer<FallWallQuestion>(1, 1), ActionId::Fallwall1},
        {kRangeMessage, Answer<FallWallQuestion>(14, 3), ActionId::Fallwall1},  // one frame too many
        {kRangeMessage, Answer<RainQuestion>(1, kHorseFrames + 1), ActionId::Rain1},
        {kCountMessage, Answer<MoveApartQuestion>(1, 0), ActionId::Moveapart1},
        {kLinesMessage, Answer<LinesQuestion>(1, 4, [](auto& p) { p.lines = 0; }), ActionId::Lines1},
        {kRangeMessage, Answer<LinesQuestion>(13, 4), ActionId::Lines1},
    };
    OpenHorse();
    for (const auto& [message, answer, action] : refusals) {
        SCOPED_TRACE(message);
        answer(prompts);
        Trigger(*window, *project, action);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, message);
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
    bool busy = true;
    // Writing each frame back reports its conversion as well.
    QObject::connect(project.get(), &Project::progress, [&](int, const QString& text) {
        if (text.startsWith("Build image:") || text == "Ready") {
            texts << window->StatusText(0);
            busy = busy && QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        }
    });
    Answer<RainQuestion>(5, 4)(prompts);
    window->Action(ActionId::Rain1)->trigger();
    EXPECT_EQ(texts.filter("Build image:"), (QStringList{"Build image:4", "Build image:5", "Build image:6"}));
    EXPECT_EQ(texts.last(), "Ready");
    EXPECT_TRUE(busy);
    EXPECT_EQ(window->StatusText(0), "Ready");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The clock seeds each run anew: the same run on the same frames strews
    // other pixels.
    const std::vector<QImage> first = Pictures(*project->Document());
    commands::CloseProject(*project);
    OpenHorse();
    Answer<RainQuestion>(5, 4)(prompts);
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
    OpenHorse();
    for (const auto& [id, hint] : items) {
        EXPECT_TRUE(window->Action(id)->isEnabled());
        EXPECT_EQ(window->Action(id)->statusTip(), hint);
    }
    EXPECT_FALSE(window->Action(ActionId::Mosaic1)->isVisible() || window->Action(ActionId::Mosaic1)->isEnabled());
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

    // Untouched, the defaults; Scale squeezes and locks Unfold until it is cleared.
    auto fall = AskAndAct<FallWallQuestion>(real, Accept);
    ASSERT_TRUE(fall);
    EXPECT_EQ(std::tuple(fall->firstFrame, fall->frameCount, fall->useLastFramePalette, fall->copyFrame,
                         fall->direction, fall->mode),
              std::tuple(1, 3, true, false, fdUpToDown, fmSlide));
    fall = AskAndAct<FallWallQuestion>(real, [](QDialog& d) {
        Control<QComboBox>(d, "FallCB").setCurrentIndex(3);
        Control<QSpinBox>(d, "FirstFrame").setValue(4);
        Control<QCheckBox>(d, "Unfold").setChecked(true);
        Control<QCheckBox>(d, "ScaleCB").click();
        EXPECT_FALSE(Control<QCheckBox>(d, "Unfold").isEnabled());
        Accept(d);
    });
    ASSERT_TRUE(fall);
    EXPECT_EQ(std::tuple(fall->direction, fall->firstFrame, fall->mode), std::tuple(fdRightToLeft, 4, fmSqueeze));
    EXPECT_FALSE(AskAndAct<FallWallQuestion>(real, [](QDialog& d) {
        EXPECT_EQ(Control<QSpinBox>(d, "FirstFrame").value(), 4);  // kept from the last use
        Control<QCheckBox>(d, "ScaleCB").click();
        EXPECT_TRUE(Control<QCheckBox>(d, "Unfold").isEnabled());
        Cancel(d);
    }));

    auto apart = AskAndAct<MoveApartQuestion>(real, [](QDialog& d) {
        Control<QRadioButton>(d, "Vertical").setChecked(true);
        Control<QRadioButton>(d, "DiminishButton").setChecked(true);
        Control<QCheckBox>(d, "Scale").setChecked(true);
        Control<QCheckBox>(d, "UsePaslette").setChecked(false);
        Control<QCheckBox>(d, "CopyFrame").setChecked(true);
        Control<QSpinBox>(d, "CountFrame").setValue(0);  // typed, and left to the command to refuse
        Accept(d);
    });
    ASSERT_TRUE(apart);
    EXPECT_EQ(std::tuple(apart->orientation, apart->kind, apart->scale, apart->useLastFramePalette, apart->copyFrame,
                         apart->frameCount),
              std::tuple(orVertical, mkDiminish, true, false, true, 0));

    auto lines = AskAndAct<LinesQuestion>(real, [](QDialog& d) {
        EXPECT_TRUE(Control<QSpinBox>(d, "CountFrame").isReadOnly());
        Control<QSpinBox>(d, "EditCount").setValue(7);
        Control<QRadioButton>(d, "Vert").setChecked(true);
        Accept(d);
    });
    ASSERT_TRUE(lines);
    EXPECT_EQ(std::tuple(lines->frameCount, lines->copyFrame, lines->lines, lines->orientation),
              std::tuple(4, true, 7, orVertical));
}

} // namespace
} // namespace animora::test
