#pragma once
// The bitmap operations of Part 4.1 on frame bitmaps: draw a whole bitmap at
// (0, 0), copy a rectangle (stretched when the sizes differ), and copy single
// pixels (rain). Everything clips to the destination bitmap; rectangles have
// exclusive right and bottom edges; an empty rectangle copies nothing.
//
// Colours: between two 8-bit bitmaps with the same palette the indices are
// copied as they are; with another palette each source entry is matched once
// to the nearest destination entry (as the canvas matches colours). A
// stretched copy is resampled in true colour (area averaging along an axis
// that shrinks, linear interpolation along one that grows, the pixels
// themselves along one that keeps its size) and the result is matched to the
// destination's palette the way the frame write-back reduces a true-colour
// picture: the lookup of a custom palette (TFastColorLookup) through the
// image's dither engine.
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora::effects {

// Copies pixels between two bitmaps at the same or shifted positions.
class TPixelCopier {
public:
    // Both must outlive the copier and keep their formats and palettes.
    TPixelCopier(const TBitmap& source, TBitmap& target);

    // Pixel (x, y) of the source to pixel (x, y) of the target; the caller
    // keeps (x, y) inside both.
    void CopyPixel(int x, int y)
    {
        if (fast_)
            target_.Bits()[y * targetStride_ + x] = table_[source_.Bits()[y * sourceStride_ + x]];
        else
            CopyPixelSlow(x, y, x, y);
    }
    // `count` pixels of source row sy from column sx to target row ty from
    // column tx, all inside both bitmaps.
    void CopyRun(int sx, int sy, int tx, int ty, int count);

private:
    void CopyPixelSlow(int sx, int sy, int tx, int ty);

    const TBitmap& source_;
    TBitmap& target_;
    bool fast_ = false;      // 8 bits to 8 bits through table_
    bool identity_ = false;  // the same palette: indices as they are
    uint8_t table_[256] = {};
    size_t sourceStride_ = 0;
    size_t targetStride_ = 0;
};

// Draws the whole source at (0, 0), unscaled.
void DrawBitmap(TBitmap& target, const TBitmap& source);

// Copies the source rectangle into the destination rectangle: unscaled when
// both have the same size, otherwise resampled smoothly and matched with the
// dither kind (a DitherKind).
void CopyRectangle(TBitmap& target, const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                   int dither);

// The weights of one axis of a resampling from `sourceSize` to `destSize`
// pixels: destination pixel i is the sum of weight x source pixel over its
// taps, divided by kOne (the weights of each pixel add up to exactly kOne).
// Exposed for the tests.
class TResampleAxis {
public:
    static constexpr int kShift = 14;
    static constexpr uint32_t kOne = 1u << kShift;

    TResampleAxis(int sourceSize, int destSize);

    struct Tap {
        int source;
        uint32_t weight;
    };
    // The taps of destination pixel i (0 <= i < destSize).
    const Tap* Begin(int i) const { return taps_.data() + starts_[static_cast<size_t>(i)]; }
    const Tap* End(int i) const { return taps_.data() + starts_[static_cast<size_t>(i) + 1]; }
    // Every destination pixel is one source pixel (the sizes are equal).
    bool Identity() const { return identity_; }

private:
    // Scales the exact weights of the last pixel (their sum is `total`) to kOne.
    void Normalise(size_t start, uint64_t total);

    std::vector<Tap> taps_;
    std::vector<size_t> starts_;
    bool identity_ = false;
};

} // namespace animora::effects
