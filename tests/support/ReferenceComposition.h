#pragma once
// A small, test-only composition of an animation, written from the GIF rules
// alone so the optimiser can be checked against something independent of
// the painter: disposal 0 and 1 (and 4-7) keep the frame, 2 restores its
// area to the background, 3 restores the picture from before the frame;
// transparent pixels leave what is below. The background is "nothing" (a
// value no colour has), as when drawing over a saved background.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace animora {
class TGIFImage;
}

namespace animora::test {

// One fingerprint per picture an onlooker sees, in order: each frame's
// composed screen, without frames that show nothing for no time (empty,
// delay 0), and with repeats of the same picture in a row collapsed to one.
// The fingerprint is an order-independent hash of (position, colour) over
// the screen, kept up to date pixel by pixel, so long animations stay cheap.
std::vector<uint64_t> ComposedPictures(const TGIFImage& image);
// The same pictures with how long each is shown: the delays of the frames
// that show it in a row, summed.
std::vector<std::pair<uint64_t, int>> ComposedTimeline(const TGIFImage& image);

// Whether every pixel that is drawn has a colour in its frame's map: only
// such files have a defined picture to keep. Answers the reason otherwise.
bool EveryPixelHasAColor(const TGIFImage& image, std::string& why);

// Distinct colours the frames show, and whether any pixel is transparent.
struct TColorUse {
    int colors = 0;
    bool transparency = false;
};
TColorUse ColorsShown(const TGIFImage& image);

} // namespace animora::test
