#pragma once
// The colour-reduction driver: turns a picture into an 8-bit palette bitmap
// by one of the ten reduction modes and one of the seven dither kinds.
#include <memory>

#include "color/ColorLookup.h"
#include "color/ColorTypes.h"
#include "platform/Bitmap.h"

namespace animora {

// The reduced picture, a new bitmap owned by the caller: 8 bits with the
// mode's palette as a 256-entry colour table (the mode's colours first, the
// remaining places black), or for crNone a 24-bit copy. Except with crNone
// the source itself is converted to 24 bits in place. A mode or dither kind
// out of range, or a mode whose palette has no colours (crCustomPalette
// without a palette), gives an empty bitmap. `reductionBits` (kept within
// 1..8) sets the size of the crOptimized palette, 2^bits. `refine` lets the
// optimised modes refine their octree palette (TPaletteRefiner); the plain
// octree palette is the default.
std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& source, ColorReductionMode mode, DitherKind dither,
                                            const TPalette* customPalette, int reductionBits, bool refine = false);

// The palette a mode reduces to; empty for crNone and unknown modes. The
// optimised modes read the picture of `reader`.
class TDIBReader;
TPalette MakeReductionPalette(ColorReductionMode mode, TDIBReader& reader, const TPalette* customPalette,
                              int reductionBits, bool refine = false);

// The lookup of a mode over its palette; null for crNone and unknown modes.
// Refined optimised palettes are looked up by TPreciseColorLookup.
std::unique_ptr<TColorLookup> MakeReductionLookup(ColorReductionMode mode, const TPalette& palette,
                                                  bool refine = false);

} // namespace animora
