#pragma once
// Pixel copies between two frame bitmaps. Frames that share their colours
// copy indices as they are; otherwise each of the 256 source entries is
// matched once to the nearest target entry, so a whole picture costs one
// table lookup per pixel.
#include <cstdint>

#include "platform/Bitmap.h"

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

// The colours of two palettes agree (flags aside).
bool SameColors(const TPalette& a, const TPalette& b);

} // namespace animora::effects
