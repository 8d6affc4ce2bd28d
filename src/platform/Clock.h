#pragma once
// Time as the animation painter sees it: the current time in milliseconds,
// sleeping, and waiting on an event with a timeout. The process uses the
// system clock; tests install a virtual one so that a 60-second frame delay
// takes no real time and every wait can be checked.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ThreadSync.h"

namespace animora {

// A wait without end.
constexpr int64_t kInfiniteWait = -1;

class TClock {
public:
    virtual ~TClock() = default;
    virtual int64_t NowMs() = 0;
    // Sleep(0) gives up the rest of the time slice.
    virtual void SleepMs(int64_t ms) = 0;
    // Waits on the event for at most `ms` (kInfiniteWait: until set). True
    // when the event was set before the time was up.
    virtual bool WaitEvent(TAutoResetEvent& event, int64_t ms) = 0;
};

class TSystemClock : public TClock {
public:
    int64_t NowMs() override;
    void SleepMs(int64_t ms) override;
    bool WaitEvent(TAutoResetEvent& event, int64_t ms) override;
};

// Virtual time. With auto-advance (the default) every sleep and every timed
// wait that is not cut short moves the clock on by its length at once; without
// it, time moves only through Advance, and waits block (really) until the
// clock passes their end or their event is set. Waits without end always
// block until the event is set. Every sleep and timed wait is recorded.
class TVirtualClock : public TClock {
public:
    explicit TVirtualClock(bool autoAdvance = true) : autoAdvance_(autoAdvance) {}

    int64_t NowMs() override;
    void SleepMs(int64_t ms) override;
    bool WaitEvent(TAutoResetEvent& event, int64_t ms) override;

    void Advance(int64_t ms);
    // The lengths of the sleeps and timed waits so far (kInfiniteWait for
    // waits without end), in order.
    std::vector<int64_t> Waits();
    // How many waits are blocked right now.
    int Waiting();

private:
    void Record(int64_t ms);
    bool BlockUntil(TAutoResetEvent& event, int64_t deadline);

    const bool autoAdvance_;
    std::mutex mutex_;
    int64_t now_ = 0;
    int waiting_ = 0;
    std::vector<int64_t> waits_;
};

// The clock painters take when they are made.
std::shared_ptr<TClock> CurrentClock();
// Installs a clock (none: the system clock again) and answers the previous one.
std::shared_ptr<TClock> InstallClock(std::shared_ptr<TClock> clock);

} // namespace animora
