#pragma once
// The editor's GUI dispatcher: a worker's request is queued as in the plain
// queue, and an event posted to the GUI thread runs the queue from Qt's
// event loop, so painter threads get their frames painted while the editor
// simply runs its loop.
#include <functional>
#include <memory>

#include <QObject>
#include <QString>

#include "platform/GuiDispatcher.h"

namespace animora {

class TQtGuiDispatcher : public TQueuedGuiDispatcher {
public:
    // Made on the GUI thread.
    TQtGuiDispatcher();
    ~TQtGuiDispatcher() override;

    // Runs the requests, then the events Qt has queued (input, repaints):
    // what keeps the editor answering while a synchronous painter plays.
    bool DispatchMessages() override;
    // A painter's error is shown later from the event loop, by the handler
    // the application gives (none: the log).
    void HandleException(std::exception_ptr error) override;
    void SetErrorHandler(std::function<void(const QString&)> handler) { errorHandler_ = std::move(handler); }

protected:
    void RequestQueued() override;

private:
    // Lives on the GUI thread; the posted events go to it and die with it.
    std::unique_ptr<QObject> receiver_;
    std::function<void(const QString&)> errorHandler_;
};

// Installs a TQtGuiDispatcher for the calling (GUI) thread and answers it.
std::shared_ptr<TQtGuiDispatcher> InstallQtGuiDispatcher();

} // namespace animora
