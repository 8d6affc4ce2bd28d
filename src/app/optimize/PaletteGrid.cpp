#include "app/optimize/PaletteGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "gif/ColorMap.h"

namespace animora {

TPaletteGridLayout TPaletteGridLayout::For(int count, QSize box)
{
    TPaletteGridLayout layout;
    if (count <= 0)
        return layout;
    layout.count = count;
    int rows = 1;
    while ((rows + 1) * (rows + 1) <= count)
        ++rows;
    layout.rows = rows;
    layout.columns = (rows + count - 1) / rows;
    layout.cellHeight = box.height() / layout.rows;
    layout.cellWidth = box.width() / layout.columns;
    layout.xOffset = (box.width() - layout.columns * layout.cellWidth) / 2;
    layout.yOffset = (box.height() - layout.rows * layout.cellHeight) / 2;
    return layout;
}

QRect TPaletteGridLayout::Cell(int k) const
{
    if (columns <= 0)
        return {};
    return {xOffset + (k % columns) * cellWidth, yOffset + (k / columns) * cellHeight, cellWidth, cellHeight};
}

int TPaletteGridLayout::EntryAt(QPoint point) const
{
    if (cellWidth < 1 || cellHeight < 1)
        return -1;
    if (point.x() < xOffset || point.y() < yOffset || point.x() >= xOffset + columns * cellWidth ||
        point.y() >= yOffset + rows * cellHeight)
        return -1;
    const int entry = (point.x() - xOffset) / cellWidth + (point.y() - yOffset) / cellHeight * columns;
    return entry < count ? entry : -1;
}

std::vector<QColor> ColorsOf(const TGIFColorMap& map)
{
    std::vector<QColor> colors;
    colors.reserve(map.Count());
    const uint8_t* entry = map.Entries();
    for (int i = 0; i < map.Count(); ++i, entry += 3)
        colors.emplace_back(entry[0], entry[1], entry[2]);
    return colors;
}

TPaletteGrid::TPaletteGrid(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(16, 16);
}

void TPaletteGrid::SetColors(std::vector<QColor> colors)
{
    colors_ = std::move(colors);
    Relayout();
}

void TPaletteGrid::Relayout()
{
    layout_ = TPaletteGridLayout::For(static_cast<int>(colors_.size()), size());
    update();
}

void TPaletteGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void TPaletteGrid::paintEvent(QPaintEvent* event)
{
    if (colors_.empty())
        return;
    QPainter painter(this);
    const QColor background = palette().color(backgroundRole());
    if (layout_.cellWidth <= 1 || layout_.cellHeight <= 1) {
        painter.fillRect(event->rect(), background);
        return;
    }
    // Edges only where a cell has room for them and its colour.
    const bool edged = layout_.cellHeight > 6 && layout_.cellWidth > 3;
    const int places = layout_.rows * layout_.columns;
    for (int k = 0; k < places; ++k) {
        QRect cell = layout_.Cell(k);
        if (!cell.intersects(event->rect()))
            continue;
        if (k >= layout_.count) {
            painter.fillRect(cell, emptyCell_.isValid() ? emptyCell_ : background);
            continue;
        }
        if (edged) {
            qDrawShadePanel(&painter, cell, palette(), true, 1);
            cell.adjust(1, 1, -1, -1);
        }
        painter.fillRect(cell, colors_[static_cast<std::size_t>(k)]);
    }
}

void TPaletteGrid::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered(layout_.EntryAt(event->position().toPoint()));
}

void TPaletteGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const int entry = layout_.EntryAt(event->position().toPoint());
    if (entry >= 0)
        emit entryClicked(entry);
}

} // namespace animora
