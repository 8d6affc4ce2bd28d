#pragma once
// The drawing state both metafile players share: the little part of a GDI
// device context that clip art uses (object table, pens, brushes, fonts,
// colours, modes, window/viewport mapping, world transform, current position,
// paths, clipping, saved states), drawing through QPainter on a QImage.
//
// Coordinates given to the drawing calls are logical; the canvas maps them
// world -> page (window/viewport) -> reference device -> output image.
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTransform>

namespace animora {

struct GdiPen {
    int style = 0;        // PS_SOLID .. PS_INSIDEFRAME, plus end cap and join bits
    double width = 0;     // logical units; 0 is one device pixel
    QColor color = Qt::black;
};

struct GdiBrush {
    int style = 0;        // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN/BS_DIBPATTERN*
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct GdiFont {
    double height = 0;    // < 0: character height, > 0: cell height, 0: default
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    double escapement = 0;  // tenths of a degree, counter-clockwise
    QString face;
};

// A region as the old metafiles store it: rectangles in logical units.
struct GdiRegion {
    std::vector<QRectF> rects;
};

// Palettes and anything else we do not draw with still take a slot.
using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont, GdiRegion>;

enum class ArcKind { Arc, Chord, Pie };

// The ternary raster operations the players distinguish.
namespace rop {
constexpr uint32_t SrcCopy = 0x00CC0020, SrcAnd = 0x008800C6, SrcPaint = 0x00EE0086,
                   SrcInvert = 0x00660046, NotSrcCopy = 0x00330008, PatCopy = 0x00F00021,
                   PatInvert = 0x005A0049, DstInvert = 0x00550009, Blackness = 0x00000042,
                   Whiteness = 0x00FF0062;
}

class MetafileCanvas {
public:
    // `referenceToImage` maps the reference device's pixels onto the image.
    // Drawing more than `maxPixelWork` pixels raises "Metafile is not valid".
    MetafileCanvas(QImage& image, const QTransform& referenceToImage, uint64_t maxPixelWork);
    ~MetafileCanvas();

    // Object table ------------------------------------------------------
    void ResizeObjectTable(size_t count);
    // The lowest free slot (the old metafile's rule); -1 when the table is full.
    int AddObject(GdiObject object);
    void SetObject(uint32_t index, GdiObject object);  // ignored outside the table
    void SelectObject(uint32_t index);
    void SelectStockObject(uint32_t stock);
    void DeleteObject(uint32_t index);

    // Modes and colours ---------------------------------------------------
    void SetTextColor(QColor color) { state_.textColor = color; }
    void SetBkColor(QColor color) { state_.bkColor = color; }
    void SetBkMode(int mode) { state_.bkMode = mode; }
    void SetPolyFillMode(int mode) { state_.polyFillMode = mode; }
    void SetTextAlign(int align) { state_.textAlign = align; }
    void SetRop2(int rop2) { state_.rop2 = rop2; }
    void SetArcDirection(int direction) { state_.clockwise = direction == 2; }
    void SetMiterLimit(double limit) { state_.miterLimit = limit; }

    // Mapping ----------------------------------------------------------------
    void SetMapMode(int mode) { state_.mapMode = mode; }
    void SetWindowOrg(double x, double y) { state_.windowOrg = {x, y}; }
    void SetWindowExt(double x, double y) { state_.windowExt = {x, y}; }
    void SetViewportOrg(double x, double y) { state_.viewportOrg = {x, y}; }
    void SetViewportExt(double x, double y) { state_.viewportExt = {x, y}; }
    void OffsetWindowOrg(double dx, double dy) { state_.windowOrg += QPointF(dx, dy); }
    void OffsetViewportOrg(double dx, double dy) { state_.viewportOrg += QPointF(dx, dy); }
    void ScaleWindowExt(double xNum, double xDen, double yNum, double yDen);
    void ScaleViewportExt(double xNum, double xDen, double yNum, double yDen);
    void SetWorldTransform(const QTransform& transform) { state_.world = transform; }
    const QTransform& WorldTransform() const { return state_.world; }
    // Device pixels per millimetre of the reference device, for metric modes.
    void SetDeviceResolution(double pixelsPerMmX, double pixelsPerMmY);
    QTransform LogicalToImage() const;

    // States and clipping ------------------------------------------------------
    void SaveDC();
    void RestoreDC(int which);
    void IntersectClipRect(const QRectF& logical);
    void ExcludeClipRect(const QRectF& logical);
    // Region rectangles are in reference-device pixels; mode RGN_AND..RGN_COPY.
    void SelectClipRects(const std::vector<QRectF>& deviceRects, int mode);
    void ResetClip() { state_.clip.reset(); }

    // Current position, lines and shapes --------------------------------------
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyPolyline(const std::vector<QPolygonF>& polylines);
    void PolyBezier(const QPolygonF& points, bool fromCurrentPosition);
    void Rectangle(const QRectF& box);
    void RoundRect(const QRectF& box, QSizeF corner);
    void Ellipse(const QRectF& box);
    void ArcShape(ArcKind kind, const QRectF& box, QPointF start, QPointF end, bool moveCurrent = false);
    void AngleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees);
    void SetPixel(QPointF p, QColor color);
    // Points with their kinds (move 6, line 2, Bézier 4; bit 1 closes the figure).
    void PolyDraw(const QPolygonF& points, const std::vector<uint8_t>& kinds);
    // Rectangles of a region in logical units, painted with a brush of the
    // object table (or a stock brush), or with the selected brush.
    void FillRegion(const std::vector<QRectF>& rects, std::optional<uint32_t> brushIndex);
    // The same with a region of the object table; nothing when the slot holds none.
    void FillRegionObject(uint32_t regionIndex, std::optional<uint32_t> brushIndex);
    // Clips to a region of the object table (logical units); a slot without
    // a region resets the clip.
    void SelectClipRegionObject(uint32_t regionIndex);

    // Paths -----------------------------------------------------------------------
    void BeginPath();
    void EndPath() { state_.inPath = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void SelectClipPath(int mode);

    // Text and pictures ----------------------------------------------------------
    // `dx`: the logical advance of each character, when the record gives them.
    void TextOut(QPointF reference, const QString& text, const std::vector<double>& dx,
                 const std::optional<QRectF>& opaqueRect);
    // Draws the part `source` of `picture` into the logical rectangle.
    void DrawPicture(const QRectF& logicalTarget, const QImage& picture, const QRectF& source, uint32_t rop);
    void PatBlt(const QRectF& logical, uint32_t rop);

private:
    struct State {
        GdiPen pen;
        GdiBrush brush;
        GdiFont font;
        QColor textColor = Qt::black, bkColor = Qt::white;
        int bkMode = 2, polyFillMode = 1, textAlign = 0, rop2 = 13;
        bool clockwise = false;
        double miterLimit = 10;
        int mapMode = 1;
        QPointF windowOrg{0, 0}, windowExt{1, 1}, viewportOrg{0, 0}, viewportExt{1, 1};
        QTransform world;
        QPointF position;
        bool inPath = false;
        std::optional<QPainterPath> clip;  // in image pixels
    };

    void SelectBrushForRegion(uint32_t index);
    QTransform PageTransform() const;
    double DeviceScale() const;
    bool Drawing() const { return state_.rop2 != 11; }  // R2_NOP draws nothing
    void Emit(const QPainterPath& logical, bool fill, bool stroke);
    void FillImagePath(const QPainterPath& path);
    void StrokeImagePath(const QPainterPath& path);
    QPen ImagePen() const;
    // Counts the drawing work of a call touching `imageBounds`; raises when
    // the playback has done too much.
    void ChargeWork(const QRectF& imageBounds);
    // Counts the drawing work of a call touching `imageBounds`, then prepares
    // the painter (no transform, our clip, plain composition).
    void BeginDraw(const QRectF& imageBounds);
    void CombineClip(const QPainterPath& path, int mode);
    QPainterPath ArcPath(ArcKind kind, const QRectF& box, QPointF start, QPointF end, QPointF* endPoint) const;
    QFont ImageFont(double* pixelSize) const;

    QImage& image_;
    QPainter painter_;
    uint64_t work_ = 0;
    uint64_t maxWork_;
    QTransform referenceToImage_;
    double pixelsPerMmX_ = 96 / 25.4, pixelsPerMmY_ = 96 / 25.4;
    State state_;
    std::vector<State> saved_;
    std::vector<std::optional<GdiObject>> objects_;
    QPainterPath path_;  // the path being built, in image pixels
};

} // namespace animora
