// The plain rendering of a frame: indices copied row by row into the bitmap.
#include <cstring>

#include "gif/FrameRendering.h"

namespace animora {

void RenderPlain(TFrameRendering& rendering, TBitmap& target)
{
    const int width = rendering.width;
    const size_t maskRowBytes = MaskRowBytes(width);
    if (rendering.wantMask)
        rendering.mask.assign(maskRowBytes * static_cast<size_t>(rendering.height), 0);
    for (int y = 0; y < rendering.height; ++y) {
        if (y % kRenderProgressRows == 0 && rendering.progress)
            rendering.progress(y * 100 / rendering.height);
        const uint8_t* indices = rendering.indices + static_cast<size_t>(y) * static_cast<size_t>(width);
        std::memcpy(target.ScanLine(y), indices, static_cast<size_t>(width));
        if (rendering.wantMask &&
            MaskRowFromIndices(indices, width, rendering.transparentIndex,
                               rendering.mask.data() + static_cast<size_t>(y) * maskRowBytes))
            rendering.maskUsed = true;
    }
}

} // namespace animora
