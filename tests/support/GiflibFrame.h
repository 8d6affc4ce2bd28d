#pragma once
// Wraps one frame's encoded image data into a minimal GIF file and decodes it
// with giflib, the independent decoder the tests compare against.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace animora::test {

// A GIF89a file holding one frame of width x height with a 256-entry global
// colour table, around `imageData` (minimum code size byte, sub-blocks,
// terminator), with the interlace flag as given.
std::vector<uint8_t> WrapFrameInGIF(const std::vector<uint8_t>& imageData, int width, int height, bool interlaced);

// The colour indices of the first frame in row order as giflib decodes the
// file (de-interlaced), or nothing when giflib refuses it.
std::optional<std::vector<uint8_t>> DecodeWithGiflib(const std::vector<uint8_t>& gifFile);

// The colour indices of every image of a GIF file as giflib decodes it (rows
// in natural order); on failure `error` holds giflib's reason.
std::vector<std::vector<uint8_t>> DecodeAllWithGiflib(const std::vector<uint8_t>& gifFile, std::string& error);

} // namespace animora::test

namespace animora {
class TGIFImage;
namespace test {
// giflib reads `gifFile` (the saved bytes of `image`) and finds exactly the
// pixels of the image's non-empty frames in it.
void ExpectGiflibReadsTheSame(const TGIFImage& image, const std::vector<uint8_t>& gifFile, const std::string& what);
} // namespace test
} // namespace animora
