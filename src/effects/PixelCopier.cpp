#include "effects/PixelCopier.h"

#include <algorithm>
#include <cstring>

namespace animora::effects {

bool SameColors(const TPalette& a, const TPalette& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a[i].Color() != b[i].Color())
            return false;
    return true;
}

namespace {

// The colour of a palette index; indices past the palette read as black.
TColor EntryColor(const TPalette& palette, int index)
{
    return index < palette.Count() ? palette[index].Color() : 0;
}

} // namespace

TPixelCopier::TPixelCopier(const TBitmap& source, TBitmap& target) : source_(source), target_(target)
{
    const bool eightBits = source.GetPixelFormat() == PixelFormat::pf8bit &&
                           target.GetPixelFormat() == PixelFormat::pf8bit;
    if (!eightBits || target.Palette().Empty())
        return;
    fast_ = true;
    sourceStride_ = source.RowBytes();
    targetStride_ = target.RowBytes();
    identity_ = SameColors(source.Palette(), target.Palette());
    for (int i = 0; i < 256; ++i) {
        if (identity_) {
            table_[i] = static_cast<uint8_t>(i);
            continue;
        }
        const TColor color = EntryColor(source.Palette(), i);
        const int nearest = target.Palette().NearestIndex(ColorRed(color), ColorGreen(color), ColorBlue(color));
        table_[i] = static_cast<uint8_t>(std::max(nearest, 0));
    }
}

void TPixelCopier::CopyRun(int sx, int sy, int tx, int ty, int count)
{
    if (count <= 0)
        return;
    if (!fast_) {
        for (int i = 0; i < count; ++i)
            CopyPixelSlow(sx + i, sy, tx + i, ty);
        return;
    }
    const uint8_t* in = source_.ScanLine(sy) + sx;
    uint8_t* out = target_.ScanLine(ty) + tx;
    if (identity_) {
        std::memmove(out, in, static_cast<size_t>(count));  // source and target may be one bitmap
        return;
    }
    for (int i = 0; i < count; ++i)
        out[i] = table_[in[i]];
}

void TPixelCopier::CopyPixelSlow(int sx, int sy, int tx, int ty)
{
    target_.SetPixelColor(tx, ty, source_.PixelColor(sx, sy));
}

} // namespace animora::effects
