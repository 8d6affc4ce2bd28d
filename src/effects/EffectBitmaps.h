#pragma once
// What the effects do to frame bitmaps: draw a whole bitmap at (0, 0), copy a
// rectangle (stretched when the sizes differ), and put a picture into
// another palette. Everything clips to the destination bitmap; rectangles
// have exclusive right and bottom edges; an empty rectangle copies nothing.
//
// Colours: unscaled copies go through TPixelCopier (indices as they are
// between frames of the same colours, else the nearest entry). A stretched
// copy is resampled in true colour (ResampleAxis.h) and the result is matched
// to the destination's palette the way a true-colour picture written into a
// frame is reduced: the lookup of a custom palette (TFastColorLookup) through
// the dither engine of the image's dither kind.
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora::effects {

// Draws the whole source at (0, 0), unscaled.
void DrawBitmap(TBitmap& target, const TBitmap& source);

// Copies the source rectangle into the destination rectangle: unscaled when
// both have the same size, otherwise resampled and matched with `dither`
// (a DitherKind).
void CopyRectangle(TBitmap& target, const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                   int dither);

// The picture as an 8-bit bitmap holding `palette`, each colour replaced by
// the palette's nearest entry.
TBitmap InPalette(const TBitmap& picture, const TPalette& palette);

} // namespace animora::effects
