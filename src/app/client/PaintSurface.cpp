#include "app/client/PaintSurface.h"

#include <algorithm>
#include <unordered_map>

#include <QFontMetrics>
#include <QPainter>

#include "platform/FloodFill.h"

namespace animora {

namespace {

TColor FromRgb(QRgb rgb)
{
    return MakeColor(uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb)));
}

QRect Normalized(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

} // namespace

Qt::PenStyle QtPenStyle(TPenStyle style)
{
    switch (style) {
    case TPenStyle::psDash: return Qt::DashLine;
    case TPenStyle::psDot: return Qt::DotLine;
    case TPenStyle::psDashDot: return Qt::DashDotLine;
    case TPenStyle::psDashDotDot: return Qt::DashDotDotLine;
    case TPenStyle::psClear: return Qt::NoPen;
    case TPenStyle::psSolid:
    case TPenStyle::psInsideFrame: break;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case TBrushStyle::bsClear: return Qt::NoBrush;
    case TBrushStyle::bsHorizontal: return Qt::HorPattern;
    case TBrushStyle::bsVertical: return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal: return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal: return Qt::BDiagPattern;
    case TBrushStyle::bsCross: return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross: return Qt::DiagCrossPattern;
    case TBrushStyle::bsSolid: break;
    }
    return Qt::SolidPattern;
}

TPaintSurface::TPaintSurface(const TBitmap& picture) : bitmap_(picture)
{
    bitmap_.SetPixelFormat(PixelFormat::pf32bit);
    // Format_RGB32 ignores the fourth byte; keep it opaque for everything
    // else that reads the bitmap.
    for (int y = 0; y < bitmap_.Height(); ++y) {
        uint8_t* row = bitmap_.ScanLine(y);
        for (int x = 0; x < bitmap_.Width(); ++x)
            row[4 * x + 3] = 0xFF;
    }
    Attach();
}

void TPaintSurface::Attach()
{
    // Our 32-bit rows are blue, green, red, alpha: QImage's RGB32 in memory.
    image_ = QImage(bitmap_.Bits(), bitmap_.Width(), bitmap_.Height(), qsizetype(bitmap_.RowBytes()),
                    QImage::Format_RGB32);
}

TColor TPaintSurface::PixelColor(int x, int y) const
{
    if (!image_.rect().contains(x, y))
        return 0;
    return FromRgb(image_.pixel(x, y));
}

QRect TPaintSurface::Spread(const QRect& shape) const
{
    const int reach = std::max(state.penWidth, 1);
    return shape.adjusted(-reach, -reach, reach, reach);
}

QRect TPaintSurface::Paint(const QRect& touched, const std::function<void(QPainter&)>& draw)
{
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (state.notXor)
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    QPen pen(state.penColor, state.penWidth, QtPenStyle(state.penStyle), Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(state.penWidth <= 1);
    painter.setPen(pen);
    painter.setBrush(QBrush(state.brushColor, QtBrushStyle(state.brushStyle)));
    draw(painter);
    return touched.intersected(image_.rect());
}

QRect TPaintSurface::SetPixel(int x, int y, const QColor& color)
{
    if (!image_.rect().contains(x, y))
        return {};
    image_.setPixel(x, y, color.rgb());
    return QRect(x, y, 1, 1);
}

QRect TPaintSurface::Line(QPoint from, QPoint to)
{
    return Paint(Spread(Normalized(from, to)), [&](QPainter& painter) { painter.drawLine(from, to); });
}

QRect TPaintSurface::Rectangle(QPoint corner, QPoint opposite)
{
    const QRect box = Normalized(corner, opposite);
    // An outline of QRect(x, y, w, h) covers w + 1 by h + 1 pixels.
    return Paint(Spread(box), [&](QPainter& painter) {
        painter.drawRect(QRect(box.topLeft(), QSize(box.width() - 1, box.height() - 1)));
    });
}

QRect TPaintSurface::Ellipse(QPoint corner, QPoint opposite)
{
    const QRect box = Normalized(corner, opposite);
    return Paint(Spread(box), [&](QPainter& painter) {
        painter.drawEllipse(QRect(box.topLeft(), QSize(box.width() - 1, box.height() - 1)));
    });
}

QRect TPaintSurface::Text(QPoint at, const QString& text, const QColor& color)
{
    const QFontMetrics metrics(state.font);
    const QRect box(at, QSize(metrics.horizontalAdvance(text), metrics.height()));
    return Paint(box, [&](QPainter& painter) {
        painter.setFont(state.font);
        if (state.brushStyle != TBrushStyle::bsClear)
            painter.fillRect(box, QBrush(state.brushColor, QtBrushStyle(state.brushStyle)));
        painter.setPen(color);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    });
}

QRect TPaintSurface::FloodFill(int x, int y)
{
    const TFloodRegion region = FloodRegion(bitmap_, x, y);
    if (region.bounds.IsEmpty())
        return {};
    const QRect bounds(region.bounds.left, region.bounds.top, region.bounds.Width(), region.bounds.Height());
    if (state.brushStyle == TBrushStyle::bsClear)
        return {};
    const bool solid = state.brushStyle == TBrushStyle::bsSolid;
    // A hatched brush is drawn over the bounds once, then copied where the
    // region is; its background stays as it is, as it does for shapes.
    QImage pattern;
    if (!solid) {
        pattern = QImage(bounds.size(), QImage::Format_RGB32);
        pattern.fill(Qt::white);
        QPainter painter(&pattern);
        painter.setBrushOrigin(-bounds.topLeft());
        painter.fillRect(pattern.rect(), QBrush(state.brushColor, QtBrushStyle(state.brushStyle)));
    }
    const QRgb color = state.brushColor.rgb() | 0xFF000000u;
    for (int y0 = bounds.top(); y0 <= bounds.bottom(); ++y0) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y0));
        const uint8_t* mask = region.mask.data() + size_t(y0) * size_t(region.width);
        const auto* hatch = solid ? nullptr : reinterpret_cast<const QRgb*>(pattern.constScanLine(y0 - bounds.top()));
        for (int x0 = bounds.left(); x0 <= bounds.right(); ++x0) {
            if (!mask[x0])
                continue;
            if (solid)
                row[x0] = color;
            else if (hatch[x0 - bounds.left()] != qRgb(255, 255, 255))
                row[x0] = hatch[x0 - bounds.left()];
        }
    }
    return bounds;
}

QRect TPaintSurface::FillWhite(const QRect& area)
{
    const QRect clipped = area.intersected(image_.rect());
    QPainter(&image_).fillRect(clipped, Qt::white);
    return clipped;
}

QImage TPaintSurface::Copy(const QRect& area) const
{
    return image_.copy(area);
}

QRect TPaintSurface::DrawImage(QPoint at, const QImage& picture)
{
    QPainter(&image_).drawImage(at, picture);
    return QRect(at, picture.size()).intersected(image_.rect());
}

void TPaintSurface::GrowTo(int width, int height)
{
    const int oldWidth = bitmap_.Width();
    const int oldHeight = bitmap_.Height();
    width = std::max(width, oldWidth);
    height = std::max(height, oldHeight);
    if (width == oldWidth && height == oldHeight)
        return;
    image_ = QImage();
    bitmap_.SetSize(width, height);
    Attach();
    QPainter painter(&image_);
    painter.fillRect(QRect(oldWidth, 0, width - oldWidth, height), Qt::white);
    painter.fillRect(QRect(0, oldHeight, oldWidth, height - oldHeight), Qt::white);
}

void TPaintSurface::Restore(const QImage& snapshot)
{
    if (snapshot.size() != image_.size()) {
        image_ = QImage();
        bitmap_.SetSize(snapshot.width(), snapshot.height());
        Attach();
    }
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, snapshot);
}

TBitmap TPaintSurface::FramePicture() const
{
    std::unordered_map<QRgb, uint8_t> indices;
    TPalette palette;
    TBitmap indexed(Width(), Height(), PixelFormat::pf8bit);
    for (int y = 0; y < Height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        uint8_t* out = indexed.ScanLine(y);
        for (int x = 0; x < Width(); ++x) {
            const QRgb rgb = in[x] | 0xFF000000u;
            auto found = indices.find(rgb);
            if (found == indices.end()) {
                if (indices.size() == 256) {
                    TBitmap trueColor = bitmap_;
                    trueColor.SetPixelFormat(PixelFormat::pf24bit);
                    return trueColor;
                }
                found = indices.emplace(rgb, uint8_t(indices.size())).first;
                palette.Add({uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb)), 0});
            }
            out[x] = found->second;
        }
    }
    indexed.SetPalette(palette);
    return indexed;
}

} // namespace animora
