#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace animora {

namespace {

std::mutex& InstalledMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<TClock>& Installed()
{
    static std::shared_ptr<TClock> clock = std::make_shared<TSystemClock>();
    return clock;
}

// Blocked virtual waits look at the clock this often (real time).
constexpr std::chrono::milliseconds kVirtualPoll{1};

} // namespace

int64_t TSystemClock::NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TSystemClock::SleepMs(int64_t ms)
{
    if (ms <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool TSystemClock::WaitEvent(TAutoResetEvent& event, int64_t ms)
{
    return event.WaitFor(std::chrono::milliseconds(ms < 0 ? -1 : ms));
}

int64_t TVirtualClock::NowMs()
{
    std::lock_guard lock(mutex_);
    return now_;
}

void TVirtualClock::Record(int64_t ms)
{
    std::lock_guard lock(mutex_);
    waits_.push_back(ms);
}

void TVirtualClock::SleepMs(int64_t ms)
{
    Record(ms);
    if (ms <= 0) {
        std::this_thread::yield();
        return;
    }
    if (autoAdvance_) {
        Advance(ms);
        return;
    }
    TAutoResetEvent never;
    BlockUntil(never, NowMs() + ms);
}

bool TVirtualClock::WaitEvent(TAutoResetEvent& event, int64_t ms)
{
    Record(ms < 0 ? kInfiniteWait : ms);
    if (ms < 0) {
        {
            std::lock_guard lock(mutex_);
            ++waiting_;
        }
        event.Wait();
        std::lock_guard lock(mutex_);
        --waiting_;
        return true;
    }
    if (autoAdvance_) {
        if (event.TryWait())
            return true;
        Advance(ms);
        return false;
    }
    return BlockUntil(event, NowMs() + ms);
}

bool TVirtualClock::BlockUntil(TAutoResetEvent& event, int64_t deadline)
{
    {
        std::lock_guard lock(mutex_);
        ++waiting_;
    }
    bool set = false;
    while (!(set = event.WaitFor(kVirtualPoll))) {
        if (NowMs() >= deadline)
            break;
    }
    std::lock_guard lock(mutex_);
    --waiting_;
    return set;
}

void TVirtualClock::Advance(int64_t ms)
{
    std::lock_guard lock(mutex_);
    now_ += ms;
}

std::vector<int64_t> TVirtualClock::Waits()
{
    std::lock_guard lock(mutex_);
    return waits_;
}

int TVirtualClock::Waiting()
{
    std::lock_guard lock(mutex_);
    return waiting_;
}

std::shared_ptr<TClock> CurrentClock()
{
    std::lock_guard lock(InstalledMutex());
    return Installed();
}

std::shared_ptr<TClock> InstallClock(std::shared_ptr<TClock> clock)
{
    std::lock_guard lock(InstalledMutex());
    std::shared_ptr<TClock> previous = Installed();
    Installed() = clock ? std::move(clock) : std::make_shared<TSystemClock>();
    return previous;
}

} // namespace animora
