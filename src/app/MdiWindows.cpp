#include "app/MdiWindows.h"

#include <QMdiArea>
#include <QCloseEvent>
#include <QMdiSubWindow>

namespace animora {

namespace {

// A sub-window that tells when it has been closed for good, so its slot is
// empty at once rather than once Qt gets round to deleting it.
class TOnDemandSubWindow : public QMdiSubWindow {
public:
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted() && onClosed)
            onClosed();
    }
};

} // namespace

TMdiWindows::TMdiWindows(QMdiArea& area, QObject* parent) : QObject(parent), area_(area)
{
    connect(&area_, &QMdiArea::subWindowActivated, this, &TMdiWindows::changed);
}

QWidget* TMdiWindows::Show(WindowKind kind, const std::function<QWidget*()>& make)
{
    QPointer<QMdiSubWindow>& slot = slots_[static_cast<std::size_t>(kind)];
    if (!slot) {
        QWidget* window = make();
        auto* sub = new TOnDemandSubWindow;
        sub->setWidget(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(window->windowIcon());
        sub->onClosed = [this, kind] {
            slots_[static_cast<std::size_t>(kind)] = nullptr;
            emit changed();
        };
        area_.addSubWindow(sub);
        slot = sub;
        window->show();
    }
    slot->showNormal();
    area_.setActiveSubWindow(slot);
    emit changed();
    return slot->widget();
}

QWidget* TMdiWindows::Find(WindowKind kind) const
{
    const QPointer<QMdiSubWindow>& slot = slots_[static_cast<std::size_t>(kind)];
    return slot ? slot->widget() : nullptr;
}

bool TMdiWindows::IsActive(WindowKind kind) const
{
    const QPointer<QMdiSubWindow>& slot = slots_[static_cast<std::size_t>(kind)];
    return slot && area_.activeSubWindow() == slot;
}

bool TMdiWindows::Close(WindowKind kind)
{
    const QPointer<QMdiSubWindow>& slot = slots_[static_cast<std::size_t>(kind)];
    return !slot || slot->close();
}

} // namespace animora
