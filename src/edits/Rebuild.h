#pragma once
// Turning an animation into whole pictures and back: what the order changes
// and the resize share.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {
class TGIFImage;
class TGIFSubImage;
}

namespace animora::edits {

// A composed screen (32 bits, blue green red alpha; alpha 0 where nothing is
// drawn, else 255) made into the picture a new frame shows, of the new
// screen size with alpha 0 or 255. `index` is the frame's.
using TPictureTransform = std::function<const TBitmap&(const TBitmap& composed, int index)>;

// The pixels of a new frame and its colours.
struct TFramePixels {
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> localMap;  // red green blue triples; empty: the global table
    int transparent = -1;
};

// A frame of `result` at `bounds` with these pixels, taking the extensions,
// delay and user-input flag of `source` (disposal 1).
std::unique_ptr<TGIFSubImage> MakeFrame(TGIFImage& result, TGIFSubImage& source, const TRect& bounds,
                                        const TFramePixels& colors);

// Every frame is empty or covers the screen with no transparent pixel, so it
// shows the same picture wherever it stands.
bool FramesStandAlone(const TGIFImage& image);

// Fills `result` (a new image) with one frame per frame of `source`: each
// non-empty frame becomes a whole picture of the screen as composed at that
// frame, passed through `transform` when one is given (the new screen is
// width x height); empty frames are copied. Frames keep their extensions,
// delay and user-input flag; disposals are chosen so that every frame shows
// its picture wherever it stands (see TidyDisposals).
void BuildWholePictures(TGIFImage& source, TGIFImage& result, int width, int height,
                        const TPictureTransform& transform = {});

// For whole pictures in their final order: a frame restores the background
// (disposal 2) only when the next frame has a transparent pixel where this
// one is opaque, and otherwise keeps its picture (1). Frames that restore
// the previous picture (3), and those before a frame not covering the
// screen, are left alone.
void TidyDisposals(TGIFImage& image);

// Shrinks whole pictures again without dropping any frame: pixels that
// repeat the picture below become transparent, transparent borders are cut
// (a frame left with nothing keeps one transparent pixel), and colour tables
// are sorted by use.
void Reoptimise(TGIFImage& image);

// The target takes the source's screen, global map and frames (copies);
// its own settings and handlers stay. Stops its painters first.
void ReplaceContents(TGIFImage& target, const TGIFImage& source);

} // namespace animora::edits
