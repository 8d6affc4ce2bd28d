// The drawing half of MetafileCanvas: shapes, paths, text and pictures, each
// mapped from logical coordinates to the image and drawn through QPainter.
#include "formats/MetafileCanvas.h"

#include <QFontMetricsF>

#include "formats/MetafileCanvasDetail.h"
#include "platform/Errors.h"

namespace animora {

using namespace metafile_detail;

namespace {

Qt::BrushStyle HatchStyle(int hatch)
{
    switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

Qt::PenStyle DashStyle(int style)
{
    switch (style & kPsStyleMask) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

QPainter::CompositionMode CompositionFor(uint32_t rop)
{
    switch (rop) {
    case rop::SrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case rop::SrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case rop::SrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case rop::NotSrcCopy: return QPainter::RasterOp_NotSource;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

// The parametric angle (degrees, Qt's counter-clockwise on screen) of the
// ellipse point on the ray from the centre through p.
double EllipseAngle(const QRectF& box, QPointF p)
{
    const QPointF c = box.center();
    const double dx = (p.x() - c.x()) / std::max(box.width() / 2, 1e-9);
    const double dy = (p.y() - c.y()) / std::max(box.height() / 2, 1e-9);
    return std::atan2(-dy, dx) * 180 / M_PI;
}

} // namespace

// Drawing -------------------------------------------------------------------

void MetafileCanvas::ChargeWork(const QRectF& imageBounds)
{
    constexpr uint64_t kCallCost = 64;  // path set-up, state changes
    const QRectF visible = imageBounds.normalized().intersected(QRectF(image_.rect()));
    work_ += kCallCost + static_cast<uint64_t>(std::max(0.0, visible.width() * visible.height()));
    if (work_ > maxWork_)
        throw EInvalidGraphic("Metafile is not valid");
}

void MetafileCanvas::BeginDraw(const QRectF& imageBounds)
{
    ChargeWork(imageBounds);
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    if (state_.clip)
        painter_.setClipPath(*state_.clip);
    else
        painter_.setClipping(false);
}

QPen MetafileCanvas::ImagePen() const
{
    const GdiPen& pen = state_.pen;
    double width = pen.width * DeviceScale();
    QPen qpen(pen.color);
    qpen.setWidthF(width < 1.5 ? 0 : std::min(width, kMaxPenPixels));
    qpen.setStyle(DashStyle(pen.style));
    const int cap = pen.style & kPsEndCapMask, join = pen.style & kPsJoinMask;
    qpen.setCapStyle(cap == kPsEndCapSquare ? Qt::SquareCap : cap == kPsEndCapFlat ? Qt::FlatCap : Qt::RoundCap);
    qpen.setJoinStyle(join == kPsJoinBevel ? Qt::BevelJoin : join == kPsJoinMiter ? Qt::MiterJoin : Qt::RoundJoin);
    qpen.setMiterLimit(state_.miterLimit);
    return qpen;
}

void MetafileCanvas::FillImagePath(const QPainterPath& path)
{
    const GdiBrush& brush = state_.brush;
    if (brush.style == kBsNull || !Drawing())
        return;
    BeginDraw(path.controlPointRect());
    if (brush.style == kBsSolid) {
        painter_.fillPath(path, brush.color);
    } else if (brush.style == kBsHatched) {
        if (state_.bkMode != kTransparent)
            painter_.fillPath(path, state_.bkColor);
        painter_.fillPath(path, QBrush(brush.color, HatchStyle(brush.hatch)));
    } else if (!brush.pattern.isNull()) {
        painter_.fillPath(path, QBrush(brush.pattern));
    } else {
        painter_.fillPath(path, brush.color);
    }
}

void MetafileCanvas::StrokeImagePath(const QPainterPath& path)
{
    if ((state_.pen.style & kPsStyleMask) == kPsNull || !Drawing())
        return;
    const QPen pen = ImagePen();
    const double margin = pen.widthF() + 1;
    BeginDraw(path.controlPointRect().adjusted(-margin, -margin, margin, margin));
    painter_.strokePath(path, pen);
}

void MetafileCanvas::Emit(const QPainterPath& logical, bool fill, bool stroke)
{
    const QTransform t = LogicalToImage();
    if (!Finite(t))
        return;
    QPainterPath mapped = t.map(logical);
    if (!Reasonable(mapped.controlPointRect()))
        return;
    if (state_.inPath) {
        path_.addPath(mapped);
        return;
    }
    mapped.setFillRule(state_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill)
        FillImagePath(mapped);
    if (stroke)
        StrokeImagePath(mapped);
}

void MetafileCanvas::MoveTo(QPointF p)
{
    state_.position = p;
    if (state_.inPath) {
        const QTransform t = LogicalToImage();
        if (Finite(t))
            path_.moveTo(t.map(p));
    }
}

void MetafileCanvas::LineTo(QPointF p)
{
    if (state_.inPath) {
        const QTransform t = LogicalToImage();
        if (Finite(t)) {
            if (path_.elementCount() == 0)
                path_.moveTo(t.map(state_.position));
            path_.lineTo(t.map(p));
        }
    } else {
        QPainterPath line(state_.position);
        line.lineTo(p);
        Emit(line, false, true);
    }
    state_.position = p;
}

void MetafileCanvas::Polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    Emit(path, false, true);
}

void MetafileCanvas::PolylineTo(const QPolygonF& points)
{
    for (const QPointF& p : points)
        LineTo(p);
}

void MetafileCanvas::Polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    Emit(path, true, true);
}

void MetafileCanvas::PolyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    Emit(path, true, true);
}

void MetafileCanvas::PolyPolyline(const std::vector<QPolygonF>& polylines)
{
    QPainterPath path;
    for (const QPolygonF& polyline : polylines)
        path.addPolygon(polyline);
    Emit(path, false, true);
}

// Cubic Bézier segments: start point, then three points per segment. The "to"
// form starts at the current position and moves it to the last point.
void MetafileCanvas::PolyBezier(const QPolygonF& points, bool fromCurrentPosition)
{
    int first = 0;
    QPainterPath path;
    if (fromCurrentPosition) {
        path.moveTo(state_.position);
    } else {
        if (points.isEmpty())
            return;
        path.moveTo(points[0]);
        first = 1;
    }
    for (int i = first; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrentPosition && !points.isEmpty())
        state_.position = points.back();
    if (state_.inPath && fromCurrentPosition) {
        const QTransform t = LogicalToImage();
        if (!Finite(t))
            return;
        const QPainterPath mapped = t.map(path);
        if (path_.elementCount() == 0)
            path_.moveTo(mapped.elementAt(0));
        for (int i = 1; i < mapped.elementCount(); i += 3) {
            if (i + 2 < mapped.elementCount())
                path_.cubicTo(mapped.elementAt(i), mapped.elementAt(i + 1), mapped.elementAt(i + 2));
        }
        return;
    }
    Emit(path, false, true);
}

void MetafileCanvas::Rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box.normalized());
    Emit(path, true, true);
}

void MetafileCanvas::RoundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::fabs(corner.width()) / 2, std::fabs(corner.height()) / 2);
    Emit(path, true, true);
}

void MetafileCanvas::Ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box.normalized());
    Emit(path, true, true);
}

QPainterPath MetafileCanvas::ArcPath(ArcKind kind, const QRectF& rawBox, QPointF start, QPointF end,
                                     QPointF* endPoint) const
{
    const QRectF box = rawBox.normalized();
    const double from = EllipseAngle(box, start);
    double sweep = EllipseAngle(box, end) - from;
    // Counter-clockwise (on screen) from start to end, unless told otherwise;
    // equal radials mean the whole ellipse.
    if (state_.clockwise)
        sweep = sweep >= 0 ? sweep - 360 : sweep;
    else
        sweep = sweep <= 0 ? sweep + 360 : sweep;
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(box.center());  // arcTo draws the first radius from here
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    if (endPoint)
        *endPoint = path.currentPosition();
    if (kind != ArcKind::Arc)
        path.closeSubpath();
    return path;
}

void MetafileCanvas::ArcShape(ArcKind kind, const QRectF& box, QPointF start, QPointF end, bool moveCurrent)
{
    if (!Reasonable(box))
        return;
    QPointF endPoint;
    QPainterPath path = ArcPath(kind, box, start, end, &endPoint);
    if (moveCurrent) {  // ArcTo: a line from the current position to the arc's start
        QPainterPath joined(state_.position);
        joined.connectPath(path);
        path = joined;
        state_.position = endPoint;
    }
    Emit(path, kind != ArcKind::Arc, true);
}

void MetafileCanvas::AngleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || std::fabs(radius) > kMaxCoordinate)
        return;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(state_.position);
    QPainterPath arc;
    arc.arcMoveTo(box, startDegrees);
    path.lineTo(arc.currentPosition());
    path.arcTo(box, startDegrees, std::clamp(sweepDegrees, -3600.0, 3600.0));
    state_.position = path.currentPosition();
    Emit(path, false, true);
}

void MetafileCanvas::SetPixel(QPointF p, QColor color)
{
    const QTransform t = LogicalToImage();
    const QPointF q = t.map(p);
    if (!(q.x() >= 0 && q.y() >= 0 && q.x() < image_.width() && q.y() < image_.height()) || !Drawing())
        return;
    image_.setPixel(static_cast<int>(q.x()), static_cast<int>(q.y()), color.rgb());
}

void MetafileCanvas::PolyDraw(const QPolygonF& points, const std::vector<uint8_t>& kinds)
{
    QPainterPath path(state_.position);
    for (qsizetype i = 0; i < points.size() && size_t(i) < kinds.size(); ++i) {
        const uint8_t kind = kinds[size_t(i)] & ~1;
        if (kind == 6) {
            path.moveTo(points[i]);
        } else if (kind == 4 && i + 2 < points.size()) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            path.lineTo(points[i]);
        }
        if (size_t(i) < kinds.size() && (kinds[size_t(i)] & 1))
            path.closeSubpath();
    }
    state_.position = path.currentPosition();
    Emit(path, false, true);
}

void MetafileCanvas::FillRegion(const std::vector<QRectF>& rects, std::optional<uint32_t> brushIndex)
{
    QPainterPath region;
    for (const QRectF& r : rects)
        region.addRect(r.normalized());
    const GdiBrush selected = state_.brush;
    if (brushIndex)
        SelectBrushForRegion(*brushIndex);
    const bool wasInPath = state_.inPath;
    state_.inPath = false;  // regions are painted at once, never recorded in a path
    Emit(region, true, false);
    state_.inPath = wasInPath;
    state_.brush = selected;
}

void MetafileCanvas::FillRegionObject(uint32_t regionIndex, std::optional<uint32_t> brushIndex)
{
    if (regionIndex >= objects_.size() || !objects_[regionIndex])
        return;
    if (const auto* region = std::get_if<GdiRegion>(&*objects_[regionIndex]))
        FillRegion(region->rects, brushIndex);
}

// Paths --------------------------------------------------------------------------

void MetafileCanvas::BeginPath()
{
    path_ = QPainterPath();
    state_.inPath = true;
}

void MetafileCanvas::AbortPath()
{
    path_ = QPainterPath();
    state_.inPath = false;
}

void MetafileCanvas::CloseFigure()
{
    if (state_.inPath)
        path_.closeSubpath();
}

void MetafileCanvas::FillPath()
{
    path_.setFillRule(state_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    FillImagePath(path_);
    AbortPath();
}

void MetafileCanvas::StrokePath()
{
    StrokeImagePath(path_);
    AbortPath();
}

void MetafileCanvas::StrokeAndFillPath()
{
    path_.setFillRule(state_.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    FillImagePath(path_);
    StrokeImagePath(path_);
    AbortPath();
}

void MetafileCanvas::SelectClipPath(int mode)
{
    CombineClip(path_, mode);
    AbortPath();
}

// Text and pictures ----------------------------------------------------------------

QFont MetafileCanvas::ImageFont(double* pixelSize) const
{
    const GdiFont& f = state_.font;
    QFont font(f.face.isEmpty() ? QStringLiteral("Sans Serif") : f.face);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight == 0 ? 400 : f.weight, 100, 900)));
    const QTransform t = LogicalToImage();
    const double scale = std::sqrt(t.m12() * t.m12() + t.m22() * t.m22());
    double size = std::fabs(f.height) * scale;
    if (f.height > 0) {  // cell height: take the internal leading away
        font.setPixelSize(100);
        const QFontMetricsF metrics(font);
        size = size * 100 / std::max(metrics.height(), 1.0);
    }
    if (f.height == 0)
        size = 16;
    size = std::clamp(size, 1.0, 2000.0);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    *pixelSize = size;
    return font;
}

void MetafileCanvas::TextOut(QPointF reference, const QString& fullText, const std::vector<double>& dx,
                             const std::optional<QRectF>& opaqueRect)
{
    const QString text = fullText.left(kMaxTextLength);
    const QTransform t = LogicalToImage();
    if (!Finite(t))
        return;
    BeginDraw(opaqueRect ? t.mapRect(*opaqueRect) : QRectF());
    if (opaqueRect && Reasonable(t.mapRect(*opaqueRect)))
        painter_.fillRect(t.mapRect(opaqueRect->normalized()), state_.bkColor);
    if (text.isEmpty())
        return;
    const bool updateCp = state_.textAlign & 1;
    const QPointF origin = t.map(updateCp ? state_.position : reference);
    if (!std::isfinite(origin.x()) || !std::isfinite(origin.y()) || std::fabs(origin.x()) > kMaxCoordinate ||
        std::fabs(origin.y()) > kMaxCoordinate)
        return;
    double pixelSize = 0;
    const QFont font = ImageFont(&pixelSize);
    const QFontMetricsF metrics(font);
    const double xScale = std::sqrt(t.m11() * t.m11() + t.m21() * t.m21());

    // Character positions along the baseline, in image pixels.
    std::vector<double> offsets;
    double width = 0;
    for (int i = 0; i < text.size(); ++i) {
        offsets.push_back(width);
        width += size_t(i) < dx.size() ? dx[size_t(i)] * xScale : metrics.horizontalAdvance(text[i]);
    }
    const int horizontal = state_.textAlign & 6, vertical = state_.textAlign & 24;
    const double x0 = horizontal == 2 ? -width : horizontal == 6 ? -width / 2 : 0;
    const double y0 = vertical == 24 ? 0 : vertical == 8 ? -metrics.descent() : metrics.ascent();
    ChargeWork(QRectF(origin + QPointF(x0, y0 - metrics.ascent()), QSizeF(width, metrics.height())));

    painter_.translate(origin);
    painter_.rotate(-state_.font.escapement / 10);
    if (state_.bkMode != kTransparent)
        painter_.fillRect(QRectF(x0, y0 - metrics.ascent(), width, metrics.height()), state_.bkColor);
    painter_.setFont(font);
    painter_.setPen(state_.textColor);
    for (int i = 0; i < text.size(); ++i)
        painter_.drawText(QPointF(x0 + offsets[size_t(i)], y0), QString(text[i]));
    if (updateCp)
        state_.position = t.inverted().map(origin + QPointF(horizontal == 2 ? -width : width, 0));
}

void MetafileCanvas::DrawPicture(const QRectF& logicalTarget, const QImage& picture, const QRectF& source, uint32_t rop)
{
    const QTransform t = LogicalToImage();
    if (!Finite(t) || picture.isNull() || !Drawing())
        return;
    const QPointF a = t.map(logicalTarget.topLeft()), b = t.map(logicalTarget.bottomRight());
    const QRectF target = QRectF(a, b);
    if (!Reasonable(target) || target.width() == 0 || target.height() == 0)
        return;
    // A negative extent mirrors the picture.
    const QImage oriented = picture.mirrored(target.width() < 0, target.height() < 0);
    QRectF from = source;
    if (target.width() < 0)
        from.moveLeft(picture.width() - source.right());
    if (target.height() < 0)
        from.moveTop(picture.height() - source.bottom());
    BeginDraw(target);
    painter_.setCompositionMode(CompositionFor(rop));
    painter_.drawImage(target.normalized(), oriented, from);
}

void MetafileCanvas::PatBlt(const QRectF& logical, uint32_t rop)
{
    const QTransform t = LogicalToImage();
    if (!Finite(t))
        return;
    QPainterPath path;
    path.addRect(logical.normalized());
    const QPainterPath mapped = t.map(path);
    if (!Reasonable(mapped.controlPointRect()))
        return;
    BeginDraw(mapped.controlPointRect());
    switch (rop) {
    case rop::Blackness: painter_.fillPath(mapped, Qt::black); break;
    case rop::Whiteness: painter_.fillPath(mapped, Qt::white); break;
    case rop::DstInvert:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillPath(mapped, Qt::white);
        break;
    case rop::PatInvert:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillPath(mapped, state_.brush.color);
        break;
    default: FillImagePath(mapped); break;
    }
}

} // namespace animora
