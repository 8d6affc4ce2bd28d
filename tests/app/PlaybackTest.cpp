// "Run animation" plays the preview copy through a threaded painter whose
// frames reach the window through the event loop.
#include "EditorFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include "gif/Painter.h"

namespace animora::test {
namespace {

class PlaybackTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        commands::OpenProject(*project, Corpus("muybridge.gif"));
        preview = window->findChild<TGifPreview*>("GifPreview");
        ASSERT_NE(preview, nullptr);
        ASSERT_GE(project->FrameCount(), 3);
    }
    void Click(const char* name) { window->findChild<QToolButton*>(name)->click(); }
    QString StatusPanel() const { return window->findChild<QLabel*>("StatusPanel1")->text(); }
    // Runs the event loop until `frames` more frames have been shown (or 3 s pass).
    bool PlayFrames(int frames)
    {
        const int target = preview->FramesPlayed() + frames;
        QDeadlineTimer deadline(3000);
        while (preview->FramesPlayed() < target && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return preview->FramesPlayed() >= target;
    }
    TGIFPainter* Painter() const { return project->PreviewCopy()->DefaultPainter(); }

    TGifPreview* preview = nullptr;
};

TEST_F(PlaybackTest, RunPlaysThroughTheEventLoopAndStopJoinsThePainter)
{
    Click("RunGif");
    ASSERT_TRUE(preview->IsPlaying());
    ASSERT_NE(Painter(), nullptr);
    EXPECT_TRUE(Painter()->Threaded());
    ASSERT_TRUE(PlayFrames(4));
    EXPECT_TRUE(StatusPanel().startsWith(" Frame ")) << StatusPanel().toStdString();
    EXPECT_TRUE(StatusPanel().endsWith(QStringLiteral(" of %1").arg(project->FrameCount())));
    EXPECT_FALSE(window->findChild<QLabel*>("PreviewImage")->pixmap().isNull());

    Click("StopGif");
    EXPECT_FALSE(preview->IsPlaying());
    EXPECT_EQ(Painter(), nullptr);
    const int shown = preview->FramesPlayed();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview->FramesPlayed(), shown);
}

TEST_F(PlaybackTest, SpeedChangesReachTheRunningPainter)
{
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    auto* speed = window->findChild<QSpinBox*>("SpeedEdit");
    const int saved = GIFImageDefaults().animationSpeed;
    speed->setValue(400);
    ASSERT_NE(Painter(), nullptr);
    EXPECT_EQ(Painter()->Speed(), 400);
    EXPECT_TRUE(PlayFrames(3));
    speed->setValue(saved);
}

TEST_F(PlaybackTest, ClosingOrReopeningWhilePlayingStopsCleanly)
{
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
}

TEST_F(PlaybackTest, ClosingTheWindowWhilePlayingJoinsThePainter)
{
    Click("RunGif");
    ASSERT_TRUE(PlayFrames(2));
    window.reset();  // the preview goes with the main window, the painter first
    EXPECT_EQ(Painter(), nullptr);
}

} // namespace
} // namespace animora::test
