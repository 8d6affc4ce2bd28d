#pragma once
// The row loops behind TGIFSubImage::RenderedBitmap: a frame's indices into an
// 8-bit bitmap, plain or dithered, collecting the transparency mask on the way.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"

namespace animora {

class TGIFColorMap;

// Rows of the mask are padded to 16 bits, most significant bit first.
inline size_t MaskRowBytes(int width) { return static_cast<size_t>((width + 15) / 16) * 2; }

struct TFrameRendering {
    const uint8_t* indices = nullptr;  // width x height, rows top down
    int width = 0;
    int height = 0;
    bool wantMask = false;
    uint8_t transparentIndex = 0;
    // Called every 32nd row with row x 100 / height; may raise EAbort.
    std::function<void(int percent)> progress;

    // Filled by the rendering when wantMask: height x MaskRowBytes(width)
    // bytes, a bit set for each transparent pixel; maskUsed when any is set.
    std::vector<uint8_t> mask;
    bool maskUsed = false;
};

// Rows between progress notifications.
constexpr int kRenderProgressRows = 32;

// Copies the indices as they are.
void RenderPlain(TFrameRendering& rendering, TBitmap& target);
// Dithers each pixel's colour (from the map) to the 216-colour cube with
// Floyd-Steinberg error diffusion; transparent pixels, when a mask is
// wanted, get the cube index nearest the transparent colour and are stepped
// over by the ditherer.
void RenderDithered(TFrameRendering& rendering, const TGIFColorMap& map, TBitmap& target);
// The palette of dithered frames: the 216-colour cube.
TPalette DitherPalette();
// The first places a frame or an image looks for the palette it is shown
// with: its rendered bitmap's palette, the palette it cached, or, when it
// dithers, the cube (cached then). None: the caller goes on to its colour maps.
const TPalette* CachedShowPalette(const TBitmap* rendered, std::unique_ptr<TPalette>& cache, bool dither);

// One row of the mask from a row of indices; answers whether a bit was set.
bool MaskRowFromIndices(const uint8_t* indices, int width, uint8_t transparentIndex, uint8_t* maskRow);
// A 1-bit bitmap (index 1 = transparent) from rows of MaskRowBytes(width).
std::unique_ptr<TBitmap> MaskBitmapFromRows(const std::vector<uint8_t>& rows, int width, int height);

} // namespace animora
