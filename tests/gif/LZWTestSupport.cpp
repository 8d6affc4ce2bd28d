#include "gif/LZWTestSupport.h"

#include "gif/Encoders.h"
#include "gif/LZWDecoder.h"
#include "platform/Stream.h"

namespace animora::test {

namespace {

std::vector<uint8_t> InBlocks(int minCodeSize, const std::vector<uint8_t>& bytes, size_t blockSize, bool terminate)
{
    std::vector<uint8_t> out{static_cast<uint8_t>(minCodeSize)};
    for (size_t i = 0; i < bytes.size(); i += blockSize) {
        const size_t n = std::min(blockSize, bytes.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i + n));
    }
    if (terminate)
        out.push_back(0);
    return out;
}

} // namespace

std::vector<uint8_t> PackCodes(int minCodeSize, const CodeList& codes, size_t blockSize, bool terminate)
{
    std::vector<uint8_t> bytes;
    uint64_t bits = 0;
    int held = 0;
    for (auto [code, width] : codes) {
        bits |= static_cast<uint64_t>(code) << held;
        held += width;
        while (held >= 8) {
            bytes.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            held -= 8;
        }
    }
    if (held > 0)
        bytes.push_back(static_cast<uint8_t>(bits));
    return InBlocks(minCodeSize, bytes, blockSize, terminate);
}

std::vector<uint8_t> Reblock(const std::vector<uint8_t>& imageData, size_t blockSize)
{
    std::vector<uint8_t> payload;
    size_t i = 1;
    while (i < imageData.size() && imageData[i] != 0) {
        const size_t n = imageData[i];
        payload.insert(payload.end(), imageData.begin() + static_cast<long>(i + 1),
                       imageData.begin() + static_cast<long>(i + 1 + n));
        i += n + 1;
    }
    return InBlocks(imageData[0], payload, blockSize, true);
}

DecodedFrame DecodeOurs(const std::vector<uint8_t>& imageData, int width, int height, bool interlaced, uint8_t fill)
{
    DecodedFrame frame;
    frame.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    TMemoryStream stream(imageData.data(), imageData.size());
    DecodeGIFPixels(stream, frame.pixels.data(), width, height, interlaced,
                    [&](const std::string& message) { frame.warnings.push_back(message); });
    frame.endPosition = stream.Position();
    return frame;
}

std::vector<uint8_t> EncodeOurs(uint8_t encoding, int bitsPerPixel, const std::vector<uint8_t>& pixels, int width,
                                int height, bool interlaced)
{
    TMemoryStream stream;
    EncodeGIFPixels(stream, encoding, bitsPerPixel, 1 << bitsPerPixel, pixels.data(), interlaced, height, width);
    return stream.Bytes();
}

} // namespace animora::test
