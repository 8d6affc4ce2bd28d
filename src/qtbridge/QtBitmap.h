#pragma once
// Where the engine's pictures meet QtGui, in one place: engine bitmaps and
// colours as QImages and QColors and back, and the headless QtGui start-up
// that text and PNG decoding need in programs without a window. The picture
// formats use it privately (metafiles, PNG images in icons); the editor's
// windows use it to show frames.
#include <QColor>
#include <QImage>

#include "platform/Bitmap.h"

namespace animora {

// QPainter needs a QGuiApplication to draw text (its font database lives
// there). Programs that have one already (the editor) are left alone; the
// others get one on the "offscreen" platform, made once and kept for the run.
// Called only where QtGui is about to be used, so work without metafiles or
// PNG icons never starts it.
void EnsureQtGui();

// A Qt colour as the engine's colour value.
TColor ColorFromQt(const QColor& color);

// Any bitmap as a QImage (ARGB32, opaque).
QImage ImageFromBitmap(const TBitmap& bitmap);

// A 24-bit bitmap with the image's colours (alpha ignored).
TBitmap BitmapFromImage(const QImage& image);

} // namespace animora
