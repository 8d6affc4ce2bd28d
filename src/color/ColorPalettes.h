#pragma once
// The palettes of the colour-reduction modes. Each maker answers a new
// palette that the caller owns.
#include "platform/Palette.h"

namespace animora {

class TBitmap;
class TDIBReader;

// 216 entries, index 36r + 6g + b for levels 0..5, each component level x 51.
TPalette MakeNetscapePalette();
// 256 grays, entry i = (i, i, i), no-collapse flag.
TPalette MakeGrayPalette();
// Black, white; no-collapse flag.
TPalette MakeMonochromePalette();
// The 4 grays 0x00, 0x80, 0xC0, 0xFF; no-collapse flag.
TPalette MakeWindowsGrayPalette();
// The 256-entry halftone palette (built in: there is no screen to ask).
TPalette MakeHalftonePalette();
// The 20 stock system colours.
TPalette MakeStockPalette();

// An octree palette of `colorCount` places for the reader's picture. With
// `reserveSystemColors` the palette has 256 places: the first 10 and the last
// 10 stock system colours at 0..9 and 246..255, and 236 fitted colours from 10
// on. Places the picture has no colours for are black. With `refine` the
// octree's colours are the start of a few k-means passes (TPaletteRefiner);
// without, they are the palette.
TPalette MakeOptimizedPalette(TDIBReader& reader, int colorCount, int depth, bool reserveSystemColors,
                              bool refine = false);
// The same for a bitmap, which is first converted to 24 bits in place.
TPalette MakeOptimizedPalette(TBitmap& bitmap, int colorCount, int depth, bool reserveSystemColors,
                              bool refine = false);

} // namespace animora
