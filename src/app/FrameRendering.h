#pragma once
// Frames as pictures for the editor's windows and commands, through the
// engine's frame rendering: a frame's rendered bitmap and mask become a
// QImage to show; the image's first-frame bitmap is what BMP and JPEG saving
// write; blank pictures and copies of a frame's picture become new frames.
#include <QImage>

#include "platform/Bitmap.h"
#include "qtbridge/QtBitmap.h"  // ColorFromQt, ImageFromBitmap

namespace animora {

class TGIFImage;
class TGIFSubImage;

// The frame alone at its own size, as the engine renders it, transparent
// pixels with alpha 0. An empty frame gives a null image.
QImage RenderFrameImage(const TGIFSubImage& frame);

// The image as one picture: frame 0 at its place on the logical screen.
// Empty for an image without frames.
TBitmap RenderImageBitmap(const TGIFImage& image);

// A blank white 24-bit picture, what a new frame starts from.
TBitmap BlankBitmap(int width, int height);

} // namespace animora
