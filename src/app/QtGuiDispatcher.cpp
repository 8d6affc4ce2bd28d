#include "app/QtGuiDispatcher.h"

#include <QCoreApplication>
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

bool TQtGuiDispatcher::DispatchMessages()
{
    const bool ran = CheckSynchronize();
    // Once per call: while a picture plays, repaints keep coming.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return ran;
}

void TQtGuiDispatcher::HandleException(std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown failure");
    }
    TQueuedGuiDispatcher::HandleException(std::move(error));
    if (!errorHandler_) {
        qWarning("Animation stopped: %s", qPrintable(text));
        return;
    }
    // Errors come in while painters are being stopped, in the middle of a
    // command: the box waits for the event loop.
    QMetaObject::invokeMethod(
        receiver_.get(), [this, text] { if (errorHandler_) errorHandler_(text); }, Qt::QueuedConnection);
}

std::shared_ptr<TQtGuiDispatcher> InstallQtGuiDispatcher()
{
    auto dispatcher = std::make_shared<TQtGuiDispatcher>();
    InstallGuiDispatcher(dispatcher);
    return dispatcher;
}

} // namespace animora
