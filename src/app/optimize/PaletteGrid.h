#pragma once
// A colour table shown as a grid of cells, as near to square as the entry
// count allows and centred in the control. The global palette window and
// the extensions explorer (a frame's local table) both show one.
#include <vector>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace animora {

class TGIFColorMap;

// Where each entry's cell lies for `count` entries in a box of `box` pixels:
// rows = the integer square root of the count, columns = enough to hold the
// rest, cells of equal size, the grid centred.
struct TPaletteGridLayout {
    int count = 0;
    int rows = 0;
    int columns = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int xOffset = 0;
    int yOffset = 0;

    static TPaletteGridLayout For(int count, QSize box);
    // The cell of grid place k (row-major), entry or not.
    QRect Cell(int k) const;
    // The entry under a point, or -1 outside the grid, in a cell past the
    // last entry, or when the cells have no size.
    int EntryAt(QPoint point) const;
};

// The colours of a GIF colour map, in entry order.
std::vector<QColor> ColorsOf(const TGIFColorMap& map);

class TPaletteGrid : public QWidget {
    Q_OBJECT
public:
    explicit TPaletteGrid(QWidget* parent = nullptr);

    // No colours shows nothing (the control's own background).
    void SetColors(std::vector<QColor> colors);
    const std::vector<QColor>& Colors() const { return colors_; }
    const TPaletteGridLayout& Layout() const { return layout_; }
    // What cells past the last entry are filled with; none leaves them in the
    // control's background colour.
    void SetEmptyCellColor(const QColor& color) { emptyCell_ = color; }

signals:
    // The mouse moved over the control: the entry under it, or -1.
    void hovered(int entry);
    // A mouse button came up over an entry.
    void entryClicked(int entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Relayout();

    std::vector<QColor> colors_;
    TPaletteGridLayout layout_;
    QColor emptyCell_;
};

} // namespace animora
