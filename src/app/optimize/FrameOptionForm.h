#pragma once
// The global palette window: the preview copy's global colour map as a grid,
// the colour under the mouse in the status bar, and a click on an entry to
// change its colour.
#include <array>

#include <QWidget>

class QLabel;

namespace animora {

class Project;
class TMdiWindows;
class TPaletteGrid;

class TFrameOptionForm : public QWidget {
    Q_OBJECT
public:
    explicit TFrameOptionForm(Project& project, QWidget* parent = nullptr);

    TPaletteGrid& Grid() const { return *grid_; }
    // Status panels 0 to 6.
    QString PanelText(int panel) const;

    // Shows the preview copy's global map again (nothing without a project).
    void ShowMap();
    // The read-out for the entry under the mouse (-1: none).
    void ShowEntry(int entry);
    // Asks for a new colour for the entry and writes it into the project.
    void ChangeEntry(int entry);

    // The texts of the read-out for a colour; the entry -1 gives the bare labels.
    static std::array<QString, 6> ReadOut(int entry, const QColor& color);

    QSize sizeHint() const override { return {540, 300}; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    Project& project_;
    TPaletteGrid* grid_;
    std::array<QLabel*, 7> panels_{};
};

// The window of the main window: the open one brought forward, or a new one.
TFrameOptionForm* ShowFrameOptionForm(TMdiWindows& windows, Project& project);

} // namespace animora
