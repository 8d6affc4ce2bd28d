#pragma once
// The hourglass for the length of a scope; the default cursor comes back on
// every way out, failures included.
#include <QApplication>
#include <QCursor>

namespace animora {

class BusyCursor {
public:
    // Qt::BusyCursor (an arrow with the hourglass) says the editor still
    // answers, as it does while rain reports each frame.
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor) { QApplication::setOverrideCursor(shape); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace animora
