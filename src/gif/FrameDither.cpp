// The dithered rendering of a frame: every pixel's colour, from the frame's
// colour map, diffused with Floyd-Steinberg onto the 216-colour cube, so that
// all frames share one palette on a display that shows 256 colours at once.
#include <cstring>

#include "color/ColorLookup.h"
#include "color/ColorPalettes.h"
#include "color/DitherEngine.h"
#include "gif/ColorMap.h"
#include "gif/FrameRendering.h"
#include "platform/Canvas.h"

namespace animora {

namespace {

// The byte transparent pixels are filled with: the cube entry of the
// transparent colour, one place up. The mask hides these pixels, so the
// value only matters to whoever reads the bitmap without its mask.
uint8_t TransparentFill(const uint8_t* rgb)
{
    return static_cast<uint8_t>(rgb[2] / 51 + MulDiv(6, rgb[1], 51) + MulDiv(36, rgb[0], 51) + 1);
}

} // namespace

TPalette DitherPalette()
{
    return MakeNetscapePalette();
}

const TPalette* CachedShowPalette(const TBitmap* rendered, std::unique_ptr<TPalette>& cache, bool dither)
{
    if (rendered && !rendered->Palette().Empty())
        return &rendered->Palette();
    if (!cache && dither)
        cache = std::make_unique<TPalette>(DitherPalette());
    return cache.get();
}

void RenderDithered(TFrameRendering& rendering, const TGIFColorMap& map, TBitmap& target)
{
    const int width = rendering.width;
    const size_t maskRowBytes = MaskRowBytes(width);
    if (rendering.wantMask)
        rendering.mask.assign(maskRowBytes * static_cast<size_t>(rendering.height), 0);
    // Indices past the map read as black.
    uint8_t colors[256][3] = {};
    std::memcpy(colors, map.Entries(), static_cast<size_t>(map.Count()) * 3);
    const uint8_t fill = TransparentFill(colors[rendering.transparentIndex]);

    TNetscapeColorLookup lookup;
    const std::unique_ptr<TDitherEngine> engine = MakeDitherEngine(dkFloydSteinberg, width, lookup);
    int r, g, b;
    for (int y = 0; y < rendering.height; ++y) {
        if (y % kRenderProgressRows == 0 && rendering.progress)
            rendering.progress(y * 100 / rendering.height);
        const uint8_t* indices = rendering.indices + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* out = target.ScanLine(y);
        uint8_t* maskRow = rendering.wantMask ? rendering.mask.data() + static_cast<size_t>(y) * maskRowBytes : nullptr;
        if (maskRow)
            std::memset(out, fill, static_cast<size_t>(width));
        while (engine->Column() >= 0 && engine->Column() < width) {
            const int x = engine->Column();
            const uint8_t index = indices[x];
            if (maskRow && index == rendering.transparentIndex) {
                maskRow[x / 8] = static_cast<uint8_t>(maskRow[x / 8] | (0x80 >> (x % 8)));
                rendering.maskUsed = true;
                engine->SkipPixel();
                continue;
            }
            out[x] = engine->DitherPixel(colors[index][0], colors[index][1], colors[index][2], r, g, b);
        }
        engine->NextRow();
    }
}

} // namespace animora
