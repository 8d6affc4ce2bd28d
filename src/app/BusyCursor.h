#pragma once
// The hourglass for the length of a scope; the default cursor comes back on
// every way out, failures included.
#include <QApplication>
#include <QCursor>

namespace animora {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace animora
