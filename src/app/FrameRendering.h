#pragma once
// Interim frame rendering for the editor.
//
// The engine's own frame rendering (frames to bitmaps with the image's
// drawing options) is not in the codec yet. Until it is, the editor turns a
// frame into pixels here and nowhere else: every index goes through the
// frame's active colour map, and the transparent index becomes transparent.
// When the engine renders frames, these functions become thin calls into it.
#include <QImage>

#include "platform/Bitmap.h"

namespace animora {

class TGIFImage;
class TGIFSubImage;

// The frame alone, at its own size: ARGB32, transparent pixels with alpha 0.
// An empty frame gives a null image.
QImage RenderFrameImage(const TGIFSubImage& frame);

// The image as one picture (what saving as BMP or JPEG writes): its logical
// screen in the backdrop colour (the header's background when none is set)
// with the first frame drawn at its place. 24 bits; empty for an image
// without frames.
TBitmap RenderImageBitmap(const TGIFImage& image);

// A copy of the frame for a new last frame: same descriptor size, pixels and
// colours, without its extensions (a frame made from a picture carries none).
class TGIFSubImage;
void CopyFramePicture(const TGIFSubImage& source, TGIFSubImage& target);

// A blank white frame of the given size with a one-entry local colour map.
void MakeBlankFrame(TGIFSubImage& frame, int width, int height);

} // namespace animora
