// The painter's clock work on virtual time: delays, speed, pauses, looping,
// events, errors, synchronous and threaded.
#include <gtest/gtest.h>

#include <numeric>

#include "support/Playback.h"

namespace animora {
namespace {

using test::FrameSpec;
using test::MakeAnimation;
using test::PlaybackEnvironment;
using test::RecordingStep;

constexpr uint16_t kSync = drAnimate | drLoop;
constexpr uint16_t kThreaded = drThreaded | drAnimate | drLoop;

struct Played {
    std::vector<int> frames;
    std::vector<int64_t> times;
    std::vector<int64_t> waits;
};

// Plays `image` to its end with a recording step and answers what happened.
Played Play(PlaybackEnvironment& env, TGIFImage& image, uint16_t options, int64_t paintCostMs = 0)
{
    auto log = std::make_shared<RecordingStep::Log>();
    auto step = std::make_unique<RecordingStep>(log, env.Clock());
    step->paintCostMs = paintCostMs;
    auto painter = test::MakePainter(image, options, std::move(step));
    if (options & drThreaded) {
        painter->Start();
        EXPECT_TRUE(env.PumpUntil([&] { return painter->Finished(); }));
        painter->Join();
    } else {
        painter->Run();
    }
    EXPECT_TRUE(log->AllOnGuiThread());
    EXPECT_EQ(image.Painters().Count(), 0u);
    return {log->Frames(), log->Times(), env.Clock().Waits()};
}

int64_t Between(const Played& played, int from, int to)
{
    return played.times.at(to) - played.times.at(from);
}

TEST(PainterTimingTest, FrameDelaysAsPlayed)
{
    const struct {
        const char* name;
        int delay;  // of frame 0; -1 none
        int speed;
        uint16_t options;
        int64_t expectedMs;
    } cases[] = {
        {"delay 1 raised to 3", 1, 100, kSync, 36},
        {"delay 0 is the default", 0, 100, kSync, 120},
        {"no graphic control", -1, 100, kSync, 120},
        {"speed 200 halves", 10, 200, kSync, 60},
        {"speed 50 doubles", 10, 50, kSync, 240},
        {"speed 1000", 10, 1000, kSync, 12},
        {"synchronous caps 5000 at 1000", 5000, 100, kSync, 12000},
        {"threaded delay 1", 1, 100, kThreaded, 36},
        {"threaded speed 200", 10, 200, kThreaded, 60},
        {"threaded waits the full 60 s", 5000, 100, kThreaded, 60000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackEnvironment env;
        auto image = MakeAnimation({{c.delay}, {5}});
        image->SetAnimationSpeed(c.speed);
        const Played played = Play(env, *image, c.options);
        ASSERT_EQ(played.frames, (std::vector<int>{0, 1}));
        EXPECT_EQ(Between(played, 0, 1), c.expectedMs);
    }
}

TEST(PainterTimingTest, FirstFrameComesAtOnceWhenThreadedAndAfterOneUnitWhenSynchronous)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{10}, {10}});
    EXPECT_EQ(Play(env, *image, kThreaded).times.at(0), 0);
    PlaybackEnvironment env2;
    EXPECT_EQ(Play(env2, *image, kSync).times.at(0), 12);
}

TEST(PainterTimingTest, SynchronousPainterSleepsInStepsOfAtMost100Ms)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{25}, {1}});
    const Played played = Play(env, *image, kSync);
    // One unit before frame 0, then 300 ms in three steps.
    EXPECT_EQ(played.waits, (std::vector<int64_t>{12, 100, 100, 100}));
}

TEST(PainterTimingTest, HalfOfTheTimeLostPaintingIsTakenOffTheNextWait)
{
    for (uint16_t options : {kSync, kThreaded}) {
        SCOPED_TRACE(options);
        PlaybackEnvironment env;
        auto image = MakeAnimation({{10}, {10}, {10}});
        const Played played = Play(env, *image, options, 40);
        // 120 ms delay, 40 ms of it spent painting: 120 - 20 = 100 ms waited.
        EXPECT_EQ(Between(played, 0, 1), 140);
        EXPECT_EQ(Between(played, 1, 2), 140);
    }
}

TEST(PainterTimingTest, LoopingRules)
{
    const struct {
        const char* name;
        int loops;  // on frame `loopFrame`; -1 none
        int loopFrame;
        uint16_t options;
        int stopAfter;  // paints before a handler stops the painter; 0 never
        std::vector<int> frames;
    } cases[] = {
        {"count 3 plays three times", 3, 0, kSync, 0, {0, 1, 0, 1, 0, 1}},
        {"count 3 threaded", 3, 0, kThreaded, 0, {0, 1, 0, 1, 0, 1}},
        {"count 1 plays once", 1, 0, kSync, 0, {0, 1}},
        {"count 0 once when synchronous", 0, 0, kSync, 0, {0, 1}},
        {"count 0 endless when threaded", 0, 0, kThreaded, 7, {0, 1, 0, 1, 0, 1, 0}},
        {"loop from frame 1", 2, 1, kSync, 0, {0, 1, 2, 1, 2}},
        {"no extension: one pass", -1, 0, kSync, 0, {0, 1}},
        {"no extension, loop forever", -1, 0, kSync | drLoopForever, 5, {0, 1, 0, 1, 0}},
        {"without drLoop one pass", 3, 0, drAnimate, 0, {0, 1}},
        {"without drAnimate the first frame only", 3, 0, drLoop, 0, {0}},
        {"count 3 forever threaded", 3, 0, kThreaded | drLoopForever, 9, {0, 1, 0, 1, 0, 1, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackEnvironment env;
        std::vector<FrameSpec> specs = {{5}, {5}};
        if (c.loopFrame == 1)
            specs.push_back({5});
        specs[c.loopFrame].loops = c.loops;
        auto image = MakeAnimation(specs);
        int paints = 0;
        auto log = std::make_shared<RecordingStep::Log>();
        auto painter = test::MakePainter(*image, c.options, std::make_unique<RecordingStep>(log, env.Clock()));
        painter->Handlers.OnAfterFrame = [&](TGIFPainter& sender) {
            if (++paints == c.stopAfter)
                sender.Stop();
        };
        if (c.options & drThreaded) {
            painter->Start();
            ASSERT_TRUE(env.PumpUntil([&] { return painter->Finished(); }));
        } else {
            painter->Run();
        }
        EXPECT_EQ(log->Frames(), c.frames);
    }
}

TEST(PainterTimingTest, EventsInOrder)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5, 0, 2}, {5}});
    std::string events;
    auto painter = test::MakePainter(*image, kSync, nullptr);
    auto note = [&](char c) {
        return [&events, c](TGIFPainter& sender) { events += c + std::to_string(sender.ActiveFrame()); };
    };
    painter->Handlers = {note('S'), note('B'), note('A'), note('L'), note('E')};
    painter->Run();
    EXPECT_EQ(events, "S0B0A0B1A1L0B0A0B1A1E-1");
}

TEST(PainterTimingTest, AfterFrameHandlerChoosesTheNextFrame)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5}, {5}, {5}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto painter = test::MakePainter(*image, kSync, std::make_unique<RecordingStep>(log, env.Clock()));
    int jumps = 0;
    painter->Handlers.OnAfterFrame = [&](TGIFPainter& sender) {
        if (sender.ActiveFrame() == 2 && jumps++ < 1)
            sender.SetActiveFrame(0);
        else if (sender.ActiveFrame() == 0 && jumps == 1)
            sender.SetActiveFrame(7);  // past the end: the pass ends
    };
    painter->Run();
    EXPECT_EQ(log->Frames(), (std::vector<int>{0, 1, 2, 0}));
}

TEST(PainterTimingTest, EmptyFrameEndsThePass)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5, 0, 3}, {5, 0, -1, true}, {5}});
    const Played played = Play(env, *image, kSync);
    EXPECT_EQ(played.frames, (std::vector<int>{0, 0, 0}));
}

TEST(PainterTimingTest, DisposalOfEachFrameAndThePreviousOne)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5, 2}, {5, 3}, {-1}, {5, 1}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto painter = test::MakePainter(*image, kSync, std::make_unique<RecordingStep>(log, env.Clock()));
    painter->Run();
    ASSERT_EQ(log->paints.size(), 4u);
    const int expected[4][2] = {{2, 1}, {3, 2}, {1, 3}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(log->paints[i].disposal, expected[i][0]) << i;
        EXPECT_EQ(log->paints[i].previousDisposal, expected[i][1]) << i;
    }
}

TEST(PainterTimingTest, ErrorIsKeptAndRaisedAgainWithoutPlayEnd)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5}, {5}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto step = std::make_unique<RecordingStep>(log, env.Clock());
    step->throwAtFrame = 1;
    auto painter = test::MakePainter(*image, kSync, std::move(step));
    bool ended = false;
    painter->Handlers.OnPlayEnd = [&](TGIFPainter&) { ended = true; };
    EXPECT_THROW(painter->Run(), std::runtime_error);
    EXPECT_FALSE(ended);
    EXPECT_TRUE(painter->Terminated());
    EXPECT_EQ(image->Painters().Count(), 0u);
}

TEST(PainterTimingTest, ThreadedErrorIsKeptForTheOwner)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5}, {5}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto step = std::make_unique<RecordingStep>(log, env.Clock());
    step->throwAtFrame = 1;
    auto painter = test::MakePainter(*image, kThreaded, std::move(step));
    painter->Start();
    ASSERT_TRUE(env.PumpUntil([&] { return painter->Finished(); }));
    EXPECT_TRUE(painter->CaughtError());
}

TEST(PainterTimingTest, SpeedZeroPausesUntilSetSpeedOrStop)
{
    for (bool resume : {true, false}) {
        SCOPED_TRACE(resume ? "SetSpeed" : "Stop");
        PlaybackEnvironment env;
        auto image = MakeAnimation({{10}, {10}});
        image->SetAnimationSpeed(0);
        auto log = std::make_shared<RecordingStep::Log>();
        auto painter = test::MakePainter(*image, kThreaded, std::make_unique<RecordingStep>(log, env.Clock()));
        painter->Start();
        ASSERT_TRUE(env.PumpUntil([&] { return env.Clock().Waiting() == 1; }));
        EXPECT_EQ(log->Frames(), (std::vector<int>{0}));
        if (resume)
            painter->SetSpeed(100);
        else
            painter->Stop();
        ASSERT_TRUE(env.PumpUntil([&] { return painter->Finished(); }));
        EXPECT_EQ(log->Frames(), resume ? (std::vector<int>{0, 1}) : (std::vector<int>{0}));
        EXPECT_EQ(env.Clock().Waits().at(1), kInfiniteWait);
    }
}

TEST(PainterTimingTest, SynchronousSpeedZeroWaitsTheLongestDelay)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{10}, {10}});
    image->SetAnimationSpeed(0);
    const Played played = Play(env, *image, kSync);
    EXPECT_EQ(Between(played, 0, 1), 12000);
}

TEST(PainterTimingTest, SpeedChangeWithoutWakeEventRestartsFromTheFirstFrame)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{5}, {5}, {5}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto painter = test::MakePainter(*image, kSync, std::make_unique<RecordingStep>(log, env.Clock()));
    int starts = 0;
    painter->Handlers.OnPlayStart = [&](TGIFPainter&) { ++starts; };
    painter->Handlers.OnAfterFrame = [&](TGIFPainter& sender) {
        if (sender.ActiveFrame() == 1 && starts == 1)
            sender.SetSpeed(50);
    };
    painter->Run();
    EXPECT_FALSE(painter->HasWakeEvent());
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(log->Frames(), (std::vector<int>{0, 1, 0, 1, 2}));
}

TEST(PainterTimingTest, WakeEventOnlyForThreadedAnimations)
{
    PlaybackEnvironment env;
    auto two = MakeAnimation({{5}, {5}});
    auto one = MakeAnimation({{5}});
    const struct {
        TGIFImage* image;
        uint16_t options;
        bool event;
    } cases[] = {
        {two.get(), kThreaded, true},
        {two.get(), kSync, false},
        {two.get(), drThreaded | drLoop, false},
        {one.get(), kThreaded, false},
    };
    for (const auto& c : cases) {
        TGIFPainter painter(*c.image, nullptr, c.options, Bounds(0, 0, 1, 1), nullptr, nullptr);
        EXPECT_EQ(painter.HasWakeEvent(), c.event);
    }
}

TEST(PainterTimingTest, SynchronousPainterStopsOnQuitAndRunsGuiWork)
{
    PlaybackEnvironment env;
    auto image = MakeAnimation({{500}, {5}});
    auto log = std::make_shared<RecordingStep::Log>();
    auto painter = test::MakePainter(*image, kSync, std::make_unique<RecordingStep>(log, env.Clock()));
    // A worker asks for GUI work while the painter waits before its first
    // frame; the painter runs it and then sees the application quit.
    bool ran = false;
    std::thread worker([&] { env.Dispatcher().Synchronize([&] {
        ran = true;
        env.Dispatcher().RequestQuit();
    }); });
    while (env.Dispatcher().Pending() == 0)
        std::this_thread::yield();
    painter->Run();
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(log->Frames().empty());
}

} // namespace
} // namespace animora
