#pragma once
// Wraps one frame's encoded image data into a minimal GIF file and decodes it
// with giflib, the independent decoder the tests compare against.
#include <cstdint>
#include <optional>
#include <vector>

namespace animora::test {

// A GIF89a file holding one frame of width x height with a 256-entry global
// colour table, around `imageData` (minimum code size byte, sub-blocks,
// terminator), with the interlace flag as given.
std::vector<uint8_t> WrapFrameInGIF(const std::vector<uint8_t>& imageData, int width, int height, bool interlaced);

// The colour indices of the first frame in row order as giflib decodes the
// file (de-interlaced), or nothing when giflib refuses it.
std::optional<std::vector<uint8_t>> DecodeWithGiflib(const std::vector<uint8_t>& gifFile);

} // namespace animora::test
