#pragma once
// The editor's GUI dispatcher: a worker's request is queued as in the plain
// queue, and an event posted to the GUI thread runs the queue from Qt's
// event loop, so painter threads get their frames painted while the editor
// simply runs its loop.
#include <memory>

#include <QObject>

#include "platform/GuiDispatcher.h"

namespace animora {

class TQtGuiDispatcher : public TQueuedGuiDispatcher {
public:
    // Made on the GUI thread.
    TQtGuiDispatcher();
    ~TQtGuiDispatcher() override;

    void HandleException(std::exception_ptr error) override;

protected:
    void RequestQueued() override;

private:
    // Lives on the GUI thread; the posted events go to it and die with it.
    std::unique_ptr<QObject> receiver_;
};

// Installs a TQtGuiDispatcher for the calling (GUI) thread.
void InstallQtGuiDispatcher();

} // namespace animora
