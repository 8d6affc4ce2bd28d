#include "app/QtGuiDispatcher.h"

#include <QMetaObject>
#include <QtGlobal>

namespace animora {

TQtGuiDispatcher::TQtGuiDispatcher() : receiver_(std::make_unique<QObject>()) {}

TQtGuiDispatcher::~TQtGuiDispatcher() = default;

void TQtGuiDispatcher::RequestQueued()
{
    // Posting is safe from any thread; the event runs on the receiver's thread.
    QMetaObject::invokeMethod(receiver_.get(), [this] { CheckSynchronize(); }, Qt::QueuedConnection);
}

void TQtGuiDispatcher::HandleException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        qWarning("Animation stopped: %s", e.what());
    } catch (...) {
        qWarning("Animation stopped by an unknown error");
    }
    TQueuedGuiDispatcher::HandleException(std::move(error));
}

void InstallQtGuiDispatcher()
{
    InstallGuiDispatcher(std::make_shared<TQtGuiDispatcher>());
}

} // namespace animora
