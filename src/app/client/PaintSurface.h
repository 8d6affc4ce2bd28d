#pragma once
// The picture the document window paints on: a true-colour working copy of
// the frame (our own bitmap, seen by QPainter as a QImage over the same
// pixels) with the drawing state of the window's controls: pen colour, width
// and style, brush colour and style, font, and the rubber-band pen mode.
// Drawing is never antialiased, so no colour appears that the user did not
// choose. Every operation answers the rectangle of pixels it may have
// changed, so the window repaints only that.
#include <functional>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include "platform/Bitmap.h"

class QPainter;

namespace animora {

// The pen styles of the style list, by index.
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The brush styles of the style list, by index.
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

Qt::PenStyle QtPenStyle(TPenStyle style);
Qt::BrushStyle QtBrushStyle(TBrushStyle style);

struct TDrawState {
    QColor penColor = Qt::black;
    int penWidth = 1;
    TPenStyle penStyle = TPenStyle::psSolid;
    QColor brushColor = Qt::white;
    TBrushStyle brushStyle = TBrushStyle::bsSolid;
    QFont font;
    // Rubber-banding draws with not-xor, so drawing a shape twice leaves the
    // picture as it was.
    bool notXor = false;
};

class TPaintSurface {
public:
    // The picture becomes a 32-bit copy of `picture` (any format).
    explicit TPaintSurface(const TBitmap& picture);
    TPaintSurface(const TPaintSurface&) = delete;
    TPaintSurface& operator=(const TPaintSurface&) = delete;

    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    const TBitmap& Bitmap() const { return bitmap_; }
    // A view of the pixels; valid until the picture is resized or replaced.
    const QImage& Image() const { return image_; }

    TDrawState state;

    // The colour of a pixel (the picture's colour value, red in the low
    // byte); 0 outside the picture.
    TColor PixelColor(int x, int y) const;

    QRect SetPixel(int x, int y, const QColor& color);
    QRect Line(QPoint from, QPoint to);
    // Shapes span both corners, whichever way round they are given.
    QRect Rectangle(QPoint corner, QPoint opposite);
    QRect Ellipse(QPoint corner, QPoint opposite);
    // Text with its top-left at the point, in `color`, on the brush.
    QRect Text(QPoint at, const QString& text, const QColor& color);
    // Fills the area of the pixel's colour around (x, y) with the brush.
    QRect FloodFill(int x, int y);
    QRect FillWhite(const QRect& area);

    // A copy of part of the picture, and a picture drawn with its top-left
    // at a point.
    QImage Copy(const QRect& area) const;
    QRect DrawImage(QPoint at, const QImage& picture);
    // Grows the picture to at least this size; new pixels are white.
    void GrowTo(int width, int height);

    // The whole picture, for undo and redo.
    QImage Snapshot() const { return image_.copy(); }
    void Restore(const QImage& snapshot);

    // A picture for the frame: palette pixels when it has at most 256
    // colours (so no colour changes), else true colour for the image's
    // reduction.
    TBitmap FramePicture() const;

private:
    void Attach();
    QRect Paint(const QRect& touched, const std::function<void(QPainter&)>& draw);
    QRect Spread(const QRect& shape) const;

    TBitmap bitmap_;
    QImage image_;
};

} // namespace animora
