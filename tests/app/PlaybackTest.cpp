// "Run animation" plays the preview copy with the options of the "Play
// Option" page: threaded or synchronous, buffered or not, stretched or tiled.
// A synchronous painter plays inside the drawing call and dispatches the
// events meanwhile, so those tests act from timers that fire inside it.
#include "EditorFixture.h"

#include <functional>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "app/PreviewImage.h"
#include "app/QtGuiDispatcher.h"
#include "gif/Painter.h"
#include "platform/Bitmap.h"
#include "platform/Clock.h"

namespace animora::test {
namespace {

class PlaybackTest : public EditorTest {
protected:
    void SetUp() override
    {
        // Painters wait on a clock that moves on at once, so the tests
        // depend on the order of events, never on how fast the machine is.
        previousClock = InstallClock(std::make_shared<TVirtualClock>(true));
        EditorTest::SetUp();
        commands::OpenProject(*project, Corpus("muybridge.gif"));
        preview = window->findChild<TGifPreview*>("GifPreview");
        ASSERT_NE(preview, nullptr);
        ASSERT_GE(project->FrameCount(), 3);
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        InstallClock(previousClock);
    }
    void Click(const char* name) { window->findChild<QToolButton*>(name)->click(); }
    void Check(const char* name, bool on) { window->findChild<QCheckBox*>(name)->setChecked(on); }
    QString StatusPanel() const { return window->findChild<QLabel*>("StatusPanel1")->text(); }
    TPreviewImage* Picture() const { return preview->PreviewImage(); }
    TGIFPainter* Painter() const
    {
        return project && project->PreviewCopy() ? project->PreviewCopy()->DefaultPainter() : nullptr;
    }

    // Runs the event loop until `done` holds. The deadline only stops a
    // test that would hang; no test expects to reach it.
    static bool RunUntil(const std::function<bool()>& done)
    {
        QDeadlineTimer deadline(60000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
    bool PlayFrames(int frames)
    {
        const int target = preview->FramesPlayed() + frames;
        return RunUntil([&] { return preview->FramesPlayed() >= target; });
    }
    // For a synchronous painter: `action` runs from the event loop once
    // `frames` more frames were shown, that is inside the drawing call.
    // Answers whether it ran.
    bool WhenPlayed(int frames, const std::function<void()>& action)
    {
        const int target = preview->FramesPlayed() + frames;
        bool ran = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (ran || preview->FramesPlayed() < target)
                return;
            ran = true;
            poll.stop();
            action();
        });
        poll.start();
        RunUntil([&] { return ran; });
        return ran;
    }

    TGifPreview* preview = nullptr;
    std::shared_ptr<TClock> previousClock;
};

TEST_F(PlaybackTest, ThreadedRunPaintsThroughTheEventLoopAndStopJoinsThePainter)
{
    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(4));
    ASSERT_NE(Painter(), nullptr);
    EXPECT_TRUE(Painter()->Threaded());
    EXPECT_TRUE(preview->IsPlaying());
    EXPECT_FALSE(Picture()->Drawing());  // the drawing call returned at once
    EXPECT_TRUE(StatusPanel().startsWith(" Frame ")) << StatusPanel().toStdString();
    EXPECT_TRUE(StatusPanel().endsWith(QStringLiteral(" of %1").arg(project->FrameCount())));
    ASSERT_NE(Picture()->Surface(), nullptr);
    EXPECT_EQ(Picture()->Surface()->Width(), project->PreviewCopy()->GetWidth());

    Click("StopGif");
    EXPECT_FALSE(preview->IsPlaying());
    EXPECT_EQ(Painter(), nullptr);
    const int shown = preview->FramesPlayed();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview->FramesPlayed(), shown);
}

TEST_F(PlaybackTest, BufferedPlaysIntoTheImageCacheAndDrawsItAgainPerFrame)
{
    Check("CBThreaded", true);
    Check("CBBuffered", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    ASSERT_NE(Painter(), nullptr);
    EXPECT_EQ(project->PreviewCopy()->DrawOptions() & drUnbuffered, 0);
    // The painter's canvas is the image's cache, not the window's bitmap.
    EXPECT_NE(&Painter()->Canvas()->Bitmap(), Picture()->Surface());
    const int draws = Picture()->DrawCount();
    ASSERT_TRUE(PlayFrames(3));
    EXPECT_GE(Picture()->DrawCount(), draws + 2);
    Click("StopGif");
    EXPECT_EQ(Painter(), nullptr);
}

TEST_F(PlaybackTest, SynchronousPainterPlaysInsideTheDrawingCallUntilStopped)
{
    ASSERT_FALSE(window->findChild<QCheckBox*>("CBThreaded")->isChecked());
    Click("RunGif");
    bool threaded = true;
    bool drawing = false;
    ASSERT_TRUE(WhenPlayed(3, [&] {
        threaded = Painter() && Painter()->Threaded();
        drawing = Picture()->Drawing();
        Click("StopGif");
    }));
    EXPECT_FALSE(threaded);
    EXPECT_TRUE(drawing);
    ASSERT_TRUE(RunUntil([&] { return !Picture()->Drawing(); }));
    EXPECT_EQ(Painter(), nullptr);
    EXPECT_FALSE(preview->IsPlaying());
}

TEST_F(PlaybackTest, SpeedChangesReachTheRunningPainterInBothModes)
{
    auto* speed = window->findChild<QSpinBox*>("SpeedEdit");
    const int saved = GIFImageDefaults().animationSpeed;

    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    speed->setValue(400);
    ASSERT_NE(Painter(), nullptr);
    EXPECT_EQ(Painter()->Speed(), 400);
    EXPECT_TRUE(PlayFrames(3));
    Click("StopGif");

    Check("CBThreaded", false);
    Click("RunGif");
    int seen = 0;
    ASSERT_TRUE(WhenPlayed(2, [&] {
        speed->setValue(250);
        seen = Painter() ? Painter()->Speed() : -1;
        Click("StopGif");
    }));
    EXPECT_EQ(seen, 250);
    RunUntil([&] { return !Picture()->Drawing(); });
    speed->setValue(saved);
}

TEST_F(PlaybackTest, StretchAndTileDrawIntoTheWholeScrollBox)
{
    auto* scrollBox = window->findChild<QScrollArea*>("ScrollBox1");
    const QSize own(project->PreviewCopy()->GetWidth(), project->PreviewCopy()->GetHeight());
    window->resize(900, 700);
    Check("CBThreaded", true);
    Check("CBStretch", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    ASSERT_NE(Picture()->Surface(), nullptr);
    const QSize drawn(Picture()->Surface()->Width(), Picture()->Surface()->Height());
    EXPECT_EQ(drawn, Picture()->size());
    EXPECT_NE(drawn, own);
    EXPECT_GE(drawn.width(), scrollBox->viewport()->width() - 30);
    EXPECT_EQ(Painter()->PaintRect().Width(), drawn.width());

    Check("CBStretch", false);
    Check("CBTile", true);
    Click("StopGif");
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    ASSERT_NE(Painter(), nullptr);
    EXPECT_NE(Painter()->Options() & drTile, 0);
    EXPECT_EQ(Painter()->PaintRect().Width(), Picture()->width());

    Check("CBTile", false);
    Click("StopGif");
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(1));
    EXPECT_EQ(Picture()->size(), own);
    Click("StopGif");
}

TEST_F(PlaybackTest, CheckingABoxChangesNothingUntilRunOrStopAgain)
{
    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(1));
    const uint16_t applied = project->PreviewCopy()->DrawOptions();
    Check("CBTile", true);
    Check("CBLoop", false);
    ASSERT_TRUE(PlayFrames(1));
    EXPECT_EQ(project->PreviewCopy()->DrawOptions(), applied);
    // A new preview copy (Add frame) plays with what was applied, too.
    commands::AddFrame(*project);
    EXPECT_EQ(project->PreviewCopy()->DrawOptions(), applied);
    Click("StopGif");
}

TEST_F(PlaybackTest, SteppingWhileRunningStopsTheAnimationAndShowsTheFrame)
{
    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    project->SetCurrentFrame(1);
    Click("NextFrameButton");
    EXPECT_FALSE(preview->IsPlaying());
    EXPECT_TRUE(window->findChild<QToolButton*>("StopGif")->isChecked());
    EXPECT_FALSE(Picture()->isVisible());
    EXPECT_TRUE(window->findChild<QLabel*>("FrameImage")->isVisible());
    EXPECT_EQ(project->CurrentFrame(), 2);
    EXPECT_EQ(StatusPanel(), Project::FrameStatusText(2, project->FrameCount()));
}

TEST_F(PlaybackTest, ReplacingOrClosingWhileASynchronousPainterPlays)
{
    Click("RunGif");
    const int frames = project->FrameCount();
    // Add frame replaces the copy the painter below is playing: the old copy
    // stays alive until the drawing call returns, and the new one plays.
    ASSERT_TRUE(WhenPlayed(2, [&] { commands::AddFrame(*project); }));
    EXPECT_EQ(project->FrameCount(), frames + 1);
    ASSERT_TRUE(WhenPlayed(2, [&] {
        EXPECT_EQ(Painter() ? Painter()->Image() : nullptr, project->PreviewCopy());
        commands::OpenProject(*project, Corpus("muybridge.gif"));  // stops first
    }));
    EXPECT_TRUE(RunUntil([&] { return !Picture()->Drawing(); }));
    EXPECT_FALSE(preview->IsPlaying());

    Click("RunGif");
    ASSERT_TRUE(WhenPlayed(2, [&] { window.reset(); }));
    EXPECT_EQ(Painter(), nullptr);
}

TEST_F(PlaybackTest, ClosingOrReopeningWhileThreadedStopsCleanly)
{
    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    commands::OpenProject(*project, Corpus("muybridge.gif"));  // stops first
    EXPECT_FALSE(preview->IsPlaying());

    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    commands::CloseProject(*project);
    EXPECT_FALSE(preview->IsPlaying());
    EXPECT_EQ(Painter(), nullptr);

    Click("RunGif");  // disabled now: nothing plays
    EXPECT_FALSE(preview->IsPlaying());

    commands::OpenProject(*project, Corpus("muybridge.gif"));
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    window.reset();  // the preview goes with the main window, the painter first
    EXPECT_EQ(Painter(), nullptr);
}

TEST_F(PlaybackTest, CancellingTheExitQuestionPlaysOnAfterThePainterWasStopped)
{
    Check("CBThreaded", true);
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    prompts.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(PlayFrames(2));
    EXPECT_TRUE(preview->IsPlaying());
    Click("StopGif");
}

TEST(PainterErrors, ReachTheErrorBoxFromTheEventLoop)
{
    TQtGuiDispatcher dispatcher;
    QStringList shown;
    dispatcher.SetErrorHandler([&](const QString& text) { shown << text; });
    dispatcher.HandleException(std::make_exception_ptr(std::runtime_error("Frame 3 is damaged")));
    EXPECT_TRUE(shown.isEmpty());  // not in the middle of stopping painters
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, QStringList{"Frame 3 is damaged"});
    EXPECT_EQ(dispatcher.Errors().size(), 1u);
}

} // namespace
} // namespace animora::test
