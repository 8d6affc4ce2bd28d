#pragma once
// The few places where the formats meet QtGui: a headless QGuiApplication for
// text and PNG decoding when the program has none (the CLI, tests, fuzzers),
// and copying QImages into the engine's bitmaps.
#include <functional>

#include <QImage>

#include "platform/Bitmap.h"

namespace animora {

// QPainter needs a QGuiApplication to draw text (its font database lives
// there). Programs that have one already (the editor) are left alone; the
// others get one on the "offscreen" platform, made once and kept for the run.
void EnsureQtGui();

// A 24-bit bitmap with the image's colours (alpha ignored).
TBitmap BitmapFromImage(const QImage& image);

// A 1-bit mask of the image's size: black/white palette, index 1 (white) where
// `transparent(x, y)` is true. This is the platform's icon-mask convention:
// a set bit keeps the background.
TBitmap MaskFromPredicate(int width, int height, const std::function<bool(int x, int y)>& transparent);

// True when some pixel of the 1-bit mask is set.
bool MaskHasTransparency(const TBitmap& mask);

} // namespace animora
