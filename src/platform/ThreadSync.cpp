#include "platform/ThreadSync.h"

namespace animora {

void TAutoResetEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_one();
}

void TAutoResetEvent::Reset()
{
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool TAutoResetEvent::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    if (timeout.count() < 0)
        changed_.wait(lock, [this] { return signalled_; });
    else if (!changed_.wait_for(lock, timeout, [this] { return signalled_; }))
        return false;
    signalled_ = false;
    return true;
}

} // namespace animora
