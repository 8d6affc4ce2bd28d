#include "platform/GuiDispatcher.h"

#include <chrono>

namespace animora {

TQueuedGuiDispatcher::TQueuedGuiDispatcher() : guiThread_(std::this_thread::get_id()) {}

void TQueuedGuiDispatcher::Synchronize(const std::function<void()>& work)
{
    if (IsGuiThread()) {
        work();
        return;
    }
    Request request{&work, nullptr};
    {
        std::unique_lock lock(mutex_);
        if (shutDown_)
            return;
        queue_.push_back(&request);
        arrived_.notify_all();
        RequestQueued();
        finished_.wait(lock, [&] { return request.done; });
    }
    if (request.error)
        std::rethrow_exception(request.error);
}

bool TQueuedGuiDispatcher::CheckSynchronize()
{
    bool ran = false;
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        Request* request = queue_.front();
        queue_.pop_front();
        lock.unlock();
        try {
            (*request->work)();
        } catch (...) {
            request->error = std::current_exception();
        }
        lock.lock();
        request->done = true;
        finished_.notify_all();
        ran = true;
    }
    return ran;
}

bool TQueuedGuiDispatcher::WaitAndCheckSynchronize(int ms)
{
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !queue_.empty() || quit_; });
    }
    return CheckSynchronize();
}

bool TQueuedGuiDispatcher::QuitRequested() const
{
    std::lock_guard lock(mutex_);
    return quit_;
}

void TQueuedGuiDispatcher::RequestQuit()
{
    std::lock_guard lock(mutex_);
    quit_ = true;
    arrived_.notify_all();
}

void TQueuedGuiDispatcher::Shutdown()
{
    std::lock_guard lock(mutex_);
    shutDown_ = true;
    for (Request* request : queue_)
        request->done = true;
    queue_.clear();
    finished_.notify_all();
}

void TQueuedGuiDispatcher::HandleException(std::exception_ptr error)
{
    std::lock_guard lock(mutex_);
    errors_.push_back(std::move(error));
}

std::vector<std::exception_ptr> TQueuedGuiDispatcher::Errors() const
{
    std::lock_guard lock(mutex_);
    return errors_;
}

size_t TQueuedGuiDispatcher::Pending() const
{
    std::lock_guard lock(mutex_);
    return queue_.size();
}

namespace {

std::mutex& InstalledMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<GuiDispatcher>& Installed()
{
    static std::shared_ptr<GuiDispatcher> dispatcher;
    return dispatcher;
}

} // namespace

std::shared_ptr<GuiDispatcher> CurrentGuiDispatcher()
{
    std::lock_guard lock(InstalledMutex());
    if (!Installed())
        Installed() = std::make_shared<TQueuedGuiDispatcher>();
    return Installed();
}

std::shared_ptr<GuiDispatcher> InstallGuiDispatcher(std::shared_ptr<GuiDispatcher> dispatcher)
{
    std::lock_guard lock(InstalledMutex());
    std::shared_ptr<GuiDispatcher> previous = Installed();
    Installed() = dispatcher ? std::move(dispatcher) : std::make_shared<TQueuedGuiDispatcher>();
    return previous;
}

} // namespace animora
