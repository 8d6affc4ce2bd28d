#pragma once
// How a worker thread gets work done on the GUI thread. Painting and the
// handlers of the user interface run on the GUI thread only; a worker hands
// them over with Synchronize and waits. The GUI thread runs what is pending
// with CheckSynchronize whenever it waits for workers itself, which is what
// keeps "stop and wait for the painter" from deadlocking.
//
// The editor installs a dispatcher of its toolkit (post an event, drain the
// queue); tests and the command line use TQueuedGuiDispatcher.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace animora {

class GuiDispatcher {
public:
    virtual ~GuiDispatcher() = default;

    // Runs `work` on the GUI thread and returns once it has run; on the GUI
    // thread itself it runs at once. An exception of `work` is raised again
    // in the caller. After Shutdown the work is dropped and the call returns.
    virtual void Synchronize(const std::function<void()>& work) = 0;
    // GUI thread: runs every pending request; true when any ran.
    virtual bool CheckSynchronize() = 0;
    // GUI thread: waits up to `ms` for a request to arrive, then runs what is
    // pending. The waiting loops of the GUI thread use this to yield.
    virtual bool WaitAndCheckSynchronize(int ms) = 0;
    // GUI thread, from a synchronous painter between frames: runs the
    // pending requests and whatever else the GUI has queued (input, repaints),
    // so that the application answers while the painter plays. True when
    // anything ran. The plain queue has nothing but its requests.
    virtual bool DispatchMessages() { return CheckSynchronize(); }
    virtual bool IsGuiThread() const = 0;
    // The application has been asked to quit: waits end at once.
    virtual bool QuitRequested() const = 0;
    // No GUI thread will run requests any more (the application is ending):
    // pending and later requests are dropped so that workers can finish.
    virtual void Shutdown() = 0;
    // An error a worker kept that no caller is left to receive (a threaded
    // painter's); the application shows it as it shows every other error.
    virtual void HandleException(std::exception_ptr error) = 0;
};

// A plain queue: the GUI thread is the thread that made it.
class TQueuedGuiDispatcher : public GuiDispatcher {
public:
    TQueuedGuiDispatcher();

    void Synchronize(const std::function<void()>& work) override;
    bool CheckSynchronize() override;
    bool WaitAndCheckSynchronize(int ms) override;
    bool IsGuiThread() const override { return std::this_thread::get_id() == guiThread_; }
    bool QuitRequested() const override;
    void Shutdown() override;
    void HandleException(std::exception_ptr error) override;

    void RequestQuit();
    // The errors handed to HandleException, oldest first.
    std::vector<std::exception_ptr> Errors() const;
    // Requests waiting for the GUI thread.
    size_t Pending() const;

protected:
    // A worker has queued a request (called under the queue's lock): a
    // toolkit's dispatcher wakes its GUI thread here to run CheckSynchronize.
    virtual void RequestQueued() {}

private:
    struct Request {
        const std::function<void()>* work;
        std::exception_ptr error;
        bool done = false;
    };

    const std::thread::id guiThread_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable finished_;
    std::deque<Request*> queue_;
    bool shutDown_ = false;
    bool quit_ = false;
    std::vector<std::exception_ptr> errors_;
};

// The dispatcher painters take when they are made; the first call makes a
// TQueuedGuiDispatcher for the calling thread.
std::shared_ptr<GuiDispatcher> CurrentGuiDispatcher();
// Installs a dispatcher (none: a fresh queue for the calling thread) and
// answers the previous one.
std::shared_ptr<GuiDispatcher> InstallGuiDispatcher(std::shared_ptr<GuiDispatcher> dispatcher);

} // namespace animora
