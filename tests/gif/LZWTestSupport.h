#pragma once
// Helpers of the codec tests: code streams written bit by bit, and decoding
// through our decoder with the warnings collected.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace animora::test {

// (code, width in bits) in stream order.
using CodeList = std::vector<std::pair<int, int>>;

// The image data of a frame: minimum code size byte, the codes packed least
// significant bit first in sub-blocks of `blockSize` bytes, and (when asked)
// the block terminator.
std::vector<uint8_t> PackCodes(int minCodeSize, const CodeList& codes, size_t blockSize = 255,
                               bool terminate = true);

// Re-cuts image data (as our encoder writes it) into sub-blocks of another size.
std::vector<uint8_t> Reblock(const std::vector<uint8_t>& imageData, size_t blockSize);

struct DecodedFrame {
    std::vector<uint8_t> pixels;
    std::vector<std::string> warnings;
    int64_t endPosition = 0;  // where the decoder left the stream
};

DecodedFrame DecodeOurs(const std::vector<uint8_t>& imageData, int width, int height, bool interlaced = false,
                        uint8_t fill = 0);

std::vector<uint8_t> EncodeOurs(uint8_t encoding, int bitsPerPixel, const std::vector<uint8_t>& pixels, int width,
                                int height, bool interlaced = false);

} // namespace animora::test
