// The state half of MetafileCanvas: object table, mapping, saved states and
// clipping. Drawing is in MetafileDrawing.cpp.
#include "formats/MetafileCanvas.h"

#include "formats/MetafileCanvasDetail.h"

namespace animora {

using namespace metafile_detail;

MetafileCanvas::MetafileCanvas(QImage& image, const QTransform& referenceToImage, uint64_t maxPixelWork)
    : image_(image), painter_(&image), maxWork_(maxPixelWork), referenceToImage_(referenceToImage)
{
}

MetafileCanvas::~MetafileCanvas() = default;

// Object table ---------------------------------------------------------------

void MetafileCanvas::ResizeObjectTable(size_t count)
{
    objects_.resize(count);
}

int MetafileCanvas::AddObject(GdiObject object)
{
    for (size_t i = 0; i < objects_.size(); ++i) {
        if (!objects_[i]) {
            objects_[i] = std::move(object);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void MetafileCanvas::SetObject(uint32_t index, GdiObject object)
{
    if (index < objects_.size())
        objects_[index] = std::move(object);
}

void MetafileCanvas::SelectObject(uint32_t index)
{
    if (index >= objects_.size() || !objects_[index])
        return;
    const GdiObject& object = *objects_[index];
    if (const auto* pen = std::get_if<GdiPen>(&object))
        state_.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&object))
        state_.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&object))
        state_.font = *font;
}

void MetafileCanvas::SelectStockObject(uint32_t stock)
{
    static const int greys[] = {255, 192, 128, 64, 0};
    if (stock <= 4)
        state_.brush = GdiBrush{kBsSolid, QColor(greys[stock], greys[stock], greys[stock]), 0, {}};
    else if (stock == 5)
        state_.brush = GdiBrush{kBsNull, Qt::white, 0, {}};
    else if (stock == 6)
        state_.pen = GdiPen{0, 0, Qt::white};
    else if (stock == 7)
        state_.pen = GdiPen{0, 0, Qt::black};
    else if (stock == 8)
        state_.pen = GdiPen{kPsNull, 0, Qt::black};
    else if (stock >= 10 && stock <= 17 && stock != 15)
        state_.font = GdiFont{};
}

void MetafileCanvas::SelectBrushForRegion(uint32_t index)
{
    if (index & 0x80000000u)
        SelectStockObject(index & 0x7FFFFFFFu);
    else if (index < objects_.size() && objects_[index] && std::holds_alternative<GdiBrush>(*objects_[index]))
        state_.brush = std::get<GdiBrush>(*objects_[index]);
}

void MetafileCanvas::DeleteObject(uint32_t index)
{
    if (index < objects_.size())
        objects_[index].reset();
}

// Mapping ------------------------------------------------------------------------

void MetafileCanvas::ScaleWindowExt(double xNum, double xDen, double yNum, double yDen)
{
    state_.windowExt = {state_.windowExt.x() * xNum / SafeExtent(xDen), state_.windowExt.y() * yNum / SafeExtent(yDen)};
}

void MetafileCanvas::ScaleViewportExt(double xNum, double xDen, double yNum, double yDen)
{
    state_.viewportExt = {state_.viewportExt.x() * xNum / SafeExtent(xDen),
                          state_.viewportExt.y() * yNum / SafeExtent(yDen)};
}

void MetafileCanvas::SetDeviceResolution(double pixelsPerMmX, double pixelsPerMmY)
{
    if (pixelsPerMmX > 0 && pixelsPerMmY > 0 && std::isfinite(pixelsPerMmX) && std::isfinite(pixelsPerMmY))
        pixelsPerMmX_ = pixelsPerMmX, pixelsPerMmY_ = pixelsPerMmY;
}

// Window to viewport: page space in reference-device pixels.
QTransform MetafileCanvas::PageTransform() const
{
    const State& s = state_;
    double sx = 1, sy = 1;
    switch (s.mapMode) {
    case 2: sx = pixelsPerMmX_ / 10, sy = -pixelsPerMmY_ / 10; break;        // 0.1 mm
    case 3: sx = pixelsPerMmX_ / 100, sy = -pixelsPerMmY_ / 100; break;      // 0.01 mm
    case 4: sx = pixelsPerMmX_ * 0.254, sy = -pixelsPerMmY_ * 0.254; break;  // 0.01 inch
    case 5: sx = pixelsPerMmX_ * 0.0254, sy = -pixelsPerMmY_ * 0.0254; break;
    case 6: sx = pixelsPerMmX_ * 25.4 / 1440, sy = -pixelsPerMmY_ * 25.4 / 1440; break;  // twips
    case 7:
    case 8:
        sx = s.viewportExt.x() / SafeExtent(s.windowExt.x());
        sy = s.viewportExt.y() / SafeExtent(s.windowExt.y());
        if (s.mapMode == 7) {  // isotropic: the smaller scale both ways, signs kept
            const double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(m, sx), sy = std::copysign(m, sy);
        }
        break;
    default: break;  // MM_TEXT: logical units are device pixels
    }
    if (s.mapMode == 1)
        return QTransform();
    return QTransform(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx, s.viewportOrg.y() - s.windowOrg.y() * sy);
}

QTransform MetafileCanvas::LogicalToImage() const
{
    return state_.world * PageTransform() * referenceToImage_;
}

double MetafileCanvas::DeviceScale() const
{
    const QTransform t = LogicalToImage();
    return std::sqrt(std::fabs(t.determinant()));
}

// States and clipping -----------------------------------------------------------

void MetafileCanvas::SaveDC()
{
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(state_);
}

void MetafileCanvas::RestoreDC(int which)
{
    // Negative: relative to the current state; positive: the n-th saved state.
    size_t keep;
    if (which < 0) {
        const size_t back = static_cast<size_t>(-static_cast<int64_t>(which));
        if (back > saved_.size())
            return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || static_cast<size_t>(which) > saved_.size())
            return;
        keep = static_cast<size_t>(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
}

void MetafileCanvas::CombineClip(const QPainterPath& shape, int mode)
{
    QPainterPath path = shape;
    if (path.elementCount() > kMaxClipElements) {
        path = QPainterPath();
        path.addRect(shape.boundingRect());
    }
    QPainterPath whole;
    whole.addRect(QRectF(image_.rect()));
    const QPainterPath current = state_.clip.value_or(whole);
    switch (mode) {
    case 1: state_.clip = current.intersected(path); break;  // RGN_AND
    case 2: state_.clip = current.united(path); break;       // RGN_OR
    case 3: state_.clip = current.united(path).subtracted(current.intersected(path)); break;
    case 4: state_.clip = current.subtracted(path); break;   // RGN_DIFF
    default: state_.clip = path; break;                      // RGN_COPY
    }
}

void MetafileCanvas::IntersectClipRect(const QRectF& logical)
{
    QPainterPath rect;
    rect.addRect(logical.normalized());
    CombineClip(LogicalToImage().map(rect), 1);
}

void MetafileCanvas::ExcludeClipRect(const QRectF& logical)
{
    QPainterPath rect;
    rect.addRect(logical.normalized());
    CombineClip(LogicalToImage().map(rect), 4);
}

void MetafileCanvas::SelectClipRegionObject(uint32_t regionIndex)
{
    const GdiRegion* region = nullptr;
    if (regionIndex < objects_.size() && objects_[regionIndex])
        region = std::get_if<GdiRegion>(&*objects_[regionIndex]);
    if (region == nullptr) {
        ResetClip();
        return;
    }
    QPainterPath path;
    for (const QRectF& r : region->rects)
        path.addRect(r.normalized());
    CombineClip(LogicalToImage().map(path), 5);
}

void MetafileCanvas::SelectClipRects(const std::vector<QRectF>& deviceRects, int mode)
{
    QPainterPath region;
    if (deviceRects.size() > kMaxClipRects) {
        QRectF bounds;
        for (const QRectF& r : deviceRects)
            bounds = bounds.united(r.normalized());
        region.addRect(bounds);
    } else {
        for (const QRectF& r : deviceRects)
            region.addRect(r.normalized());
        region = region.simplified();
    }
    CombineClip(referenceToImage_.map(region), mode);
}

} // namespace animora
