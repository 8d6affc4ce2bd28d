#pragma once
// Fingerprints of what the painter's composition puts on screen, frame by
// frame, to compare an animation before and after a change.
#include <cstdint>
#include <vector>

namespace animora {
class TGIFImage;
}

namespace animora::test {

// The screens the painter's composition shows, one pass as the painter plays
// it (up to the first empty frame), drawn over a saved background without
// dithering; repeats in a row collapse to one.
std::vector<uint64_t> PainterPictures(TGIFImage& image);

} // namespace animora::test
