#pragma once
// Edits of a whole animation: order, timing, size. Every function checks its
// arguments first and raises EEditError with a message for the user before
// anything changes; the image is otherwise left unchanged (only running out
// of memory can interrupt an edit half-way).
//
// Frame indices count from 0 and cover every frame of the list, empty ones
// (the extensions after the last picture) included. Delays are in hundredths
// of a second, as stored in the graphic control blocks.
//
// Order changes (reverse, ping-pong, move, swap, delete, keep-every, dedupe,
// insert) keep what each frame shows: a frame usually holds only what changed
// since the frame before, so moving it alone would show it over the wrong
// picture. Unless every frame already covers the whole screen opaquely, the
// animation is first turned into whole pictures (each frame composed as it is
// shown, its exact colours kept), reordered, and optimised again
// (see Rebuild.h). The looping block stays in front of the first frame, and
// reverse, ping-pong and keep-every leave the empty frames at the end (the
// blocks after a file's last picture) at the end. A whole picture of more
// colours than a frame holds (frames of their own 256-colour tables side by
// side) is reduced by the octree, and the image's warning handler is told
// which frames were.
#include <stdexcept>
#include <string>

#include "platform/Canvas.h"

namespace animora {
class TGIFImage;
class TGraphic;
}

namespace animora::edits {

class EEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Frames first..last, both included.
struct TFrameRange {
    int first = 0;
    int last = 0;
};

// The frames in the opposite order.
void Reverse(TGIFImage& image);
// 1 2 3 4 5 becomes 1 2 3 4 5 4 3 2: the frames again backwards without the
// two ends, so a looping animation never shows an end twice in a row.
// Fewer than three frames stay as they are.
void PingPong(TGIFImage& image);
// Every frame of the range (all frames when none is given) gets this delay,
// 0..65535; frames without a graphic control block get one.
void SetDelay(TGIFImage& image, int delay);
void SetDelay(TGIFImage& image, int delay, TFrameRange range);
// Plays the animation at `percent` of its speed (200: twice as fast), 1..10000:
// each delay becomes delay x 100 / percent, rounded, at least 1 and at most
// 65535; a delay of 0 (a frame shown for no time) stays 0, and frames
// without a graphic control block keep the player's default.
void ChangeSpeed(TGIFImage& image, int percent);
// The whole animation at a new screen size: each frame composed as it is
// shown, resampled smoothly (area average down, linear up), made into a
// frame again with the same delay and optimised. Colours come from the
// global colour table when the frames use only that one, else each frame
// gets its own reduced table.
void Resize(TGIFImage& image, int width, int height);
// Keeps the rectangle (left, top, width, height) of the screen: frames are
// clipped and moved. A frame with nothing left inside becomes one
// transparent pixel, so the picture before it stays on screen for its delay.
void Crop(TGIFImage& image, const TRect& rect);
void DeleteRange(TGIFImage& image, TFrameRange range);
// Keeps frames 0, n, 2n, ...; each kept frame takes the delays of the frames
// dropped after it, so the animation lasts as long as before.
void KeepEvery(TGIFImage& image, int n);
// Drops every frame that shows the same picture as the frame before it; its
// delay is added to the frame kept before it.
void Dedupe(TGIFImage& image);
// The frame at `from` moves to index `to` (the others close up).
void MoveFrame(TGIFImage& image, int from, int to);
void SwapFrames(TGIFImage& image, int a, int b);
// A picture becomes a new frame at `position` (0..count), placed at the top
// left of the screen over the picture before it, and restoring that picture
// afterwards (disposal 3), so the frames after it look as before. Its
// colours are reduced by the image's reduction settings. A picture larger
// than the screen is refused.
void InsertFrame(TGIFImage& image, const TGraphic& picture, int position);

} // namespace animora::edits
