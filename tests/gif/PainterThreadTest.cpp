// Images playing through threaded painters: drawing, stopping, speed
// changes, destruction while playing, many images at once, quitting.
#include <gtest/gtest.h>

#include <chrono>

#include "gif/SubImage.h"
#include "support/Playback.h"

namespace animora {
namespace {

using test::FrameSpec;
using test::MakeAnimation;
using test::PlaybackEnvironment;

constexpr uint16_t kPlay = drThreaded | drAnimate | drLoop;

struct Screen {
    TBitmap bitmap{4, 4, PixelFormat::pf32bit};
    TCanvas canvas{bitmap};
};

// Frame i paints colour index i % 2 (black, white).
std::unique_ptr<TGIFImage> Animation(int frames, uint16_t options, int loops = 0)
{
    std::vector<FrameSpec> specs(frames, FrameSpec{10});
    specs[0].loops = loops;
    auto image = MakeAnimation(specs);
    for (int i = 0; i < frames; ++i)
        image->Images().SubImage(i)->Data()[0] = static_cast<uint8_t>(i % 2);
    image->SetDrawOptions(options);
    return image;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

TEST(PainterThreadTest, OneFrameImageNeverStartsAPainter)
{
    PlaybackEnvironment env;
    auto image = Animation(1, kPlay);
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    EXPECT_EQ(image->DefaultPainter(), nullptr);
    EXPECT_EQ(image->StartPainter(screen.canvas, Bounds(0, 0, 4, 4), kPlay), nullptr);
    EXPECT_EQ(image->Painters().Count(), 0u);
    EXPECT_EQ(screen.bitmap.PixelColor(0, 0), 0x000000u);
}

TEST(PainterThreadTest, DrawWaitsForTheFirstFrameThenStopAnimationEndsThePainter)
{
    PlaybackEnvironment env(false);  // time stands still: the painter waits after frame 0
    auto image = Animation(3, kPlay);
    Screen screen;
    screen.canvas.FillRect(Bounds(0, 0, 4, 4), 0x123456);
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    TGIFPainter* painter = image->DefaultPainter();
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->HasPainted());
    EXPECT_EQ(screen.bitmap.PixelColor(3, 3), 0x000000u);  // frame 0 through the cache
    ASSERT_TRUE(env.PumpUntil([&] { return env.Clock().Waiting() == 1; }));

    const auto start = std::chrono::steady_clock::now();
    image->StopAnimation();
    EXPECT_LT(Seconds(start), 2.0);
    EXPECT_EQ(image->DefaultPainter(), nullptr);
    EXPECT_EQ(image->Painters().Count(), 0u);
}

TEST(PainterThreadTest, UnbufferedDrawPaintsOnTheCanvasAndKeepsItsPainter)
{
    PlaybackEnvironment env(false);
    auto image = Animation(2, kPlay | drUnbuffered);
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    TGIFPainter* painter = image->DefaultPainter();
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(painter->Canvas(), &screen.canvas);
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));  // the same target: nothing new
    EXPECT_EQ(image->DefaultPainter(), painter);
    EXPECT_EQ(image->Painters().Count(), 1u);
    image->Draw(screen.canvas, Bounds(0, 0, 2, 2));  // another rectangle: a new painter
    EXPECT_NE(image->DefaultPainter(), nullptr);
    EXPECT_EQ(image->Painters().Count(), 1u);
}

TEST(PainterThreadTest, SynchronousDrawPlaysThePassInsideTheCall)
{
    PlaybackEnvironment env;
    auto image = Animation(3, drAnimate | drLoop, 2);
    int frames = 0;
    image->OnAfterFrame = [&](TGIFPainter&) { ++frames; };
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(image->Painters().Count(), 0u);
    EXPECT_EQ(screen.bitmap.PixelColor(0, 0), 0x000000u);  // the last frame, index 0
}

TEST(PainterThreadTest, SpeedChangesWhilePlaying)
{
    PlaybackEnvironment env(false);
    auto image = Animation(3, kPlay);
    int frames = 0;
    image->OnAfterFrame = [&](TGIFPainter&) { ++frames; };
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    ASSERT_TRUE(env.PumpUntil([&] { return env.Clock().Waiting() == 1; }));
    EXPECT_EQ(frames, 1);

    // Pausing cuts the current wait short; the next frame comes and then
    // playing waits without end.
    image->SetAnimationSpeed(0);
    EXPECT_EQ(image->DefaultPainter()->Speed(), 0);
    ASSERT_TRUE(env.PumpUntil([&] { return frames == 2 && env.Clock().Waiting() == 1; }));
    EXPECT_EQ(env.Clock().Waits().back(), kInfiniteWait);
    env.Clock().Advance(100000);
    env.PumpUntil([] { return false; }, 20);
    EXPECT_EQ(frames, 2);

    image->SetAnimationSpeed(200);
    ASSERT_TRUE(env.PumpUntil([&] { return frames == 3; }));
    ASSERT_TRUE(env.PumpUntil([&] { return env.Clock().Waiting() == 1; }));
    EXPECT_EQ(env.Clock().Waits().back(), 60);
    image->StopAnimation();
}

TEST(PainterThreadTest, DestroyingAnImageWhileItsPainterRuns)
{
    PlaybackEnvironment env;  // virtual time races ahead: the painter never rests
    for (int round = 0; round < 5; ++round) {
        auto image = Animation(4, kPlay | drLoopForever);
        int frames = 0;
        image->OnAfterFrame = [&](TGIFPainter&) { ++frames; };
        Screen screen;
        image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
        ASSERT_TRUE(env.PumpUntil([&] { return frames > 10; }));
        image.reset();
    }
    EXPECT_TRUE(env.Dispatcher().Errors().empty());
    EXPECT_EQ(env.Dispatcher().Pending(), 0u);
}

TEST(PainterThreadTest, ManyImagesPlayAtOnce)
{
    PlaybackEnvironment env;
    constexpr int kImages = 8;
    std::vector<std::unique_ptr<TGIFImage>> images;
    std::vector<Screen> screens(kImages);
    std::vector<int> frames(kImages, 0);
    for (int i = 0; i < kImages; ++i) {
        images.push_back(Animation(2 + i % 3, kPlay | drLoopForever));
        images[i]->OnAfterFrame = [&frames, i](TGIFPainter&) { ++frames[i]; };
        images[i]->Draw(screens[i].canvas, Bounds(0, 0, 4, 4));
    }
    ASSERT_TRUE(env.PumpUntil([&] { return *std::min_element(frames.begin(), frames.end()) > 20; }));
    // Stop half of them, speed up the rest, then let everything go.
    for (int i = 0; i < kImages; i += 2)
        images[i]->StopAnimation();
    for (int i = 1; i < kImages; i += 2)
        images[i]->SetAnimationSpeed(500);
    const std::vector<int> before = frames;
    ASSERT_TRUE(env.PumpUntil([&] { return frames[1] > before[1] + 5; }));
    for (int i = 0; i < kImages; i += 2)
        EXPECT_EQ(frames[i], before[i]);
    images.clear();
    EXPECT_TRUE(env.Dispatcher().Errors().empty());
}

TEST(PainterThreadTest, AnErrorInAThreadedPainterReachesTheDispatcher)
{
    PlaybackEnvironment env;
    auto image = Animation(2, kPlay);
    image->OnAfterFrame = [](TGIFPainter& sender) {
        if (sender.ActiveFrame() == 1)
            throw std::runtime_error("handler failed");
    };
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    TGIFPainter* painter = image->DefaultPainter();
    ASSERT_TRUE(env.PumpUntil([&] { return image->DefaultPainter() == nullptr; }));
    EXPECT_TRUE(painter != nullptr);
    image->StopAllPainters();  // reaps the ended painter
    ASSERT_EQ(env.Dispatcher().Errors().size(), 1u);
    EXPECT_THROW(std::rethrow_exception(env.Dispatcher().Errors()[0]), std::runtime_error);
}

TEST(PainterThreadTest, QuittingEndsPaintersWithoutTheGuiThread)
{
    PlaybackEnvironment env(false);
    auto image = Animation(3, kPlay);
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    ASSERT_TRUE(env.PumpUntil([&] { return env.Clock().Waiting() == 1; }));
    env.Dispatcher().RequestQuit();
    image->StopAllPainters();
    EXPECT_EQ(image->Painters().Count(), 0u);
    // Once shut down, work handed over is dropped rather than waited for.
    bool ran = false;
    std::thread([&] { env.Dispatcher().Synchronize([&] { ran = true; }); }).join();
    EXPECT_FALSE(ran);
}

TEST(PainterThreadTest, OptionChangesStopTheDefaultPainter)
{
    PlaybackEnvironment env(false);
    auto image = Animation(2, kPlay);
    Screen screen;
    image->Draw(screen.canvas, Bounds(0, 0, 4, 4));
    ASSERT_NE(image->DefaultPainter(), nullptr);
    image->SetDrawOptions(kPlay | drTile);
    EXPECT_EQ(image->DefaultPainter(), nullptr);
    EXPECT_EQ(image->Painters().Count(), 0u);
}

} // namespace
} // namespace animora
