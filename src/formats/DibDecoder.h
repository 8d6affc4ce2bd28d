#pragma once
// Device-independent bitmaps as icons and metafiles embed them: a header
// (the 12-byte core form or the 40-byte-and-longer information form), an
// optional colour table and rows of pixels, bottom row first unless the
// height is negative. The headers are read by the platform's DIB header
// parser (the BMP reader's); the pixels are decoded into a QImage so that
// the metafile players can draw them and the icon reader can combine them
// with their masks. Internal to the formats.
#include <cstdint>

#include <QImage>

#include "formats/ByteReader.h"
#include "platform/Palette.h"

namespace animora {

struct DibInfo {
    int width = 0;
    int height = 0;         // always positive; see topDown
    bool topDown = false;
    int bitCount = 0;       // 1, 4, 8, 16, 24 or 32
    uint32_t compression = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    TPalette colors;           // colour table, at most 256 entries
    size_t headerBytes = 0;    // header, masks and colour table together
    size_t rowBytes = 0;       // one row of pixels, padded to 4 bytes
};

// Largest DIB we accept in an icon or a metafile; protects against headers
// that promise gigabytes.
constexpr int64_t MaxDibPixels = int64_t{1} << 26;

// Reads the header and colour table at the start of `info`. `heightDivisor`
// is 2 for icon images, whose header height counts the mask rows too.
// Raises the reader's failure for anything it cannot decode (run-length and
// embedded JPEG/PNG compression, 2-bit pixels and the 16 to 39-byte headers
// included).
DibInfo ParseDibHeader(const ByteReader& info, int heightDivisor = 1);

// Decodes the rows in `bits` into an ARGB32 image. 32-bit pixels keep their
// alpha byte when some pixel has a non-zero one (then *usesAlpha is set);
// pictures that leave every alpha byte at zero, and all other depths, are
// opaque. Fewer bytes than the rows need raise the failure.
QImage DecodeDibPixels(const DibInfo& dib, const ByteReader& bits, bool* usesAlpha = nullptr);

} // namespace animora
