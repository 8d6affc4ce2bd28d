#pragma once
// The main window's on-demand sub-windows (the document window, the
// extensions explorer, the global palette window, the optimiser and the map
// of the GIF): made when first asked for, at most one of each, and
// forgotten when closed. Windows are made and found here only, so the main
// window does not grow with every new one.
#include <array>
#include <cstddef>
#include <functional>

#include <QObject>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace animora {

enum class WindowKind { Document, Extensions, GlobalPalette, Optimizer, Map, Count };

class TMdiWindows : public QObject {
    Q_OBJECT
public:
    explicit TMdiWindows(QMdiArea& area, QObject* parent = nullptr);

    // The window of that kind, made by `make` when there is none, shown and
    // made the active sub-window. The window is freed when it is closed.
    QWidget* Show(WindowKind kind, const std::function<QWidget*()>& make);
    template <typename Window>
    Window* Show(WindowKind kind, const std::function<Window*()>& make)
    {
        return static_cast<Window*>(Show(kind, std::function<QWidget*()>([&make] { return make(); })));
    }

    // The open window of that kind, or null.
    QWidget* Find(WindowKind kind) const;
    template <typename Window>
    Window* Find(WindowKind kind) const
    {
        return qobject_cast<Window*>(Find(kind));
    }
    bool IsActive(WindowKind kind) const;
    // Closes the window of that kind, if open (it may refuse, as a window
    // with unsaved changes does when the user cancels).
    bool Close(WindowKind kind);

signals:
    // The active sub-window changed, or a window opened or closed.
    void changed();

private:
    QMdiArea& area_;
    std::array<QPointer<QMdiSubWindow>, static_cast<std::size_t>(WindowKind::Count)> slots_;
};

} // namespace animora
