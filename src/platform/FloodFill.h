#pragma once
// The area a flood fill covers: every pixel 4-connected to the seed that has
// exactly the seed's colour. Memory is one byte per pixel of the bitmap plus
// a stack of row segments, so even a 4096 x 4096 picture fills in a few
// tens of megabytes whatever its shapes.
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {

struct TFloodRegion {
    int width = 0;
    int height = 0;
    // width x height bytes, 1 where the region is.
    std::vector<uint8_t> mask;
    // The smallest rectangle holding the region (empty for a seed outside
    // the bitmap).
    TRect bounds;

    bool Contains(int x, int y) const { return mask[size_t(y) * size_t(width) + size_t(x)] != 0; }
};

TFloodRegion FloodRegion(const TBitmap& bitmap, int x, int y);

} // namespace animora
