#pragma once
// What the BMP reader learns from a file's headers, shared by the header
// parser and the pixel decoders, and the one parser of device-independent
// bitmap headers: the picture formats read the DIBs inside icons and
// metafiles with it too.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Palette.h"

namespace animora::bmp {

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6,
};

// One colour channel of a 16 or 32-bit pixel: its mask, where it starts and
// how many bits it has.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    // The channel's value widened or narrowed to 0..255 (rounded, so that a
    // full channel is 255 whatever its width).
    uint8_t Extract(uint32_t pixel) const
    {
        if (bits == 0)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<uint8_t>(v >> (bits - 8));
        const uint32_t max = (1u << bits) - 1;
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    int width = 0;
    int height = 0;          // always positive
    bool topDown = false;    // rows stored top row first
    int bitsPerPixel = 0;
    uint32_t compression = kRgb;
    Channel red, green, blue, alpha;
    TPalette palette;        // for 1, 2, 4 and 8 bits
    uint32_t headerSize = 0; // of the info header: 12 (OS/2), 16 to 124
    size_t tableEnd = 0;     // where the masks and the colour table end
    size_t bitsOffset = 0;   // from the start of the file
    size_t bitsSize = 0;     // bytes of pixel data present in the file
};

// A hostile or damaged file: EInvalidGraphic "Bitmap image is not valid".
[[noreturn]] void Invalid();

// Parses and checks the file header, the info header, the bit masks and the
// colour table of the BMP file in `file`.
Header ReadHeader(std::span<const uint8_t> file);

// The same for a packed DIB, as icons and metafiles hold them: the info
// header at the start of `dib`, then masks and colour table, no file header.
// bitsOffset and bitsSize stay 0; the pixels start at tableEnd.
Header ReadInfoHeader(std::span<const uint8_t> dib);

} // namespace animora::bmp
