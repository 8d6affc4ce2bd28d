#pragma once
// Limits and GDI constants shared by the two halves of MetafileCanvas
// (state in MetafileCanvas.cpp, drawing in MetafileDrawing.cpp).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

#include <QRectF>
#include <QTransform>

namespace animora::metafile_detail {

constexpr size_t kMaxSavedStates = 1024;
constexpr double kMaxPenPixels = 2048;
constexpr double kMaxCoordinate = 1e7;  // keeps Qt's rasteriser away from overflow
// Path set operations cost more than linear time: clip shapes beyond these are
// replaced by their bounding rectangle.
constexpr int kMaxClipElements = 4096;
constexpr size_t kMaxClipRects = 1024;
// Text drawn glyph by glyph; longer strings are cut.
constexpr int kMaxTextLength = 2048;

// Pen style bits (low nibble: style; then end cap and join).
constexpr int kPsNull = 5;
constexpr int kPsStyleMask = 0x0F;
constexpr int kPsEndCapMask = 0x0F00, kPsEndCapSquare = 0x0100, kPsEndCapFlat = 0x0200;
constexpr int kPsJoinMask = 0xF000, kPsJoinBevel = 0x1000, kPsJoinMiter = 0x2000;
constexpr int kBsSolid = 0, kBsNull = 1, kBsHatched = 2;
constexpr int kTransparent = 1;

inline double SafeExtent(double value)
{
    return value == 0 ? 1 : value;
}

inline bool Finite(const QTransform& t)
{
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    return std::all_of(std::begin(values), std::end(values),
                       [](double v) { return std::isfinite(v) && std::fabs(v) < 1e12; });
}

inline bool Reasonable(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width()) &&
           std::isfinite(r.height()) && std::fabs(r.left()) < kMaxCoordinate &&
           std::fabs(r.top()) < kMaxCoordinate && std::fabs(r.width()) < kMaxCoordinate &&
           std::fabs(r.height()) < kMaxCoordinate;
}

} // namespace animora::metafile_detail
