// The BMP reader: headers first (BmpHeader.cpp), then the pixels, decoded
// into the bitmap's top-down rows. Uncompressed pixel data must be in the file
// in full; run-length data may end early (the rest stays index 0).
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/BmpFormat.h"
#include "platform/BmpRle.h"
#include "platform/Endian.h"
#include "platform/PixelAccess.h"
#include "platform/Stream.h"

namespace animora {

namespace {

using bmp::Header;

// The format a picture is loaded into: palette pictures keep their depth
// (2 bits, which the bitmap does not have, become 4), the others become
// 24 bits unless an alpha channel is present.
PixelFormat LoadedFormat(const Header& header)
{
    switch (header.bitsPerPixel) {
    case 1: return PixelFormat::pf1bit;
    case 2:
    case 4: return PixelFormat::pf4bit;
    case 8: return PixelFormat::pf8bit;
    default: return header.alpha.bits != 0 ? PixelFormat::pf32bit : PixelFormat::pf24bit;
    }
}

// The file row that holds picture row y.
const uint8_t* FileRow(const uint8_t* bits, const Header& header, size_t fileRowBytes, int y)
{
    const int stored = header.topDown ? y : header.height - 1 - y;
    return bits + static_cast<size_t>(stored) * fileRowBytes;
}

// Copies one row of 1, 4 or 8-bit indices, keeping the row's padding zero.
void CopyIndexRow(const uint8_t* from, uint8_t* to, int width, int bitsPerPixel)
{
    const size_t usedBits = static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel);
    std::memcpy(to, from, usedBits / 8);
    if (usedBits % 8 != 0)
        to[usedBits / 8] = static_cast<uint8_t>(from[usedBits / 8] & (0xFF00u >> (usedBits % 8)));
}

void CopyTwoBitRow(const uint8_t* from, uint8_t* to, int width)
{
    for (int x = 0; x < width; ++x) {
        const auto index = static_cast<uint8_t>((from[x >> 2] >> (6 - 2 * (x & 3))) & 3);
        pixels::SetIndex(to, x, 4, index);
    }
}

uint32_t FilePixel(const uint8_t* row, int x, int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 16: return GetU16LE(row + 2 * static_cast<size_t>(x));
    case 24: {
        const uint8_t* p = row + 3 * static_cast<size_t>(x);
        return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    }
    default: {
        const uint8_t* p = row + 4 * static_cast<size_t>(x);
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    }
}

void CopyTrueColorRow(const uint8_t* from, uint8_t* to, const Header& header, bool withAlpha)
{
    const int step = withAlpha ? 4 : 3;
    for (int x = 0; x < header.width; ++x) {
        const uint32_t pixel = FilePixel(from, x, header.bitsPerPixel);
        uint8_t* p = to + static_cast<size_t>(x) * step;
        p[0] = header.blue.Extract(pixel);
        p[1] = header.green.Extract(pixel);
        p[2] = header.red.Extract(pixel);
        if (withAlpha)
            p[3] = header.alpha.Extract(pixel);
    }
}

// Answers the number of data bytes used.
size_t DecodeUncompressed(const uint8_t* bits, const Header& header, TBitmap& bitmap)
{
    const size_t fileRowBytes = DIBRowBytes(header.width, header.bitsPerPixel);
    if (fileRowBytes * static_cast<size_t>(header.height) > header.bitsSize)
        bmp::Invalid();
    const bool withAlpha = bitmap.GetPixelFormat() == PixelFormat::pf32bit;
    for (int y = 0; y < header.height; ++y) {
        const uint8_t* from = FileRow(bits, header, fileRowBytes, y);
        uint8_t* to = bitmap.ScanLine(y);
        if (header.bitsPerPixel == 2)
            CopyTwoBitRow(from, to, header.width);
        else if (header.bitsPerPixel <= 8)
            CopyIndexRow(from, to, header.width, header.bitsPerPixel);
        else
            CopyTrueColorRow(from, to, header, withAlpha);
    }
    return fileRowBytes * static_cast<size_t>(header.height);
}

// An alpha channel that is entirely opaque, or entirely 0 (what writers that
// do not know alpha leave there), carries nothing: the picture is 24 bits.
bool AlphaMatters(const TBitmap& bitmap)
{
    bool anyOpaque = false, anyTranslucent = false;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint8_t alpha = row[4 * x + 3];
            anyOpaque |= alpha != 0;
            anyTranslucent |= alpha != 255;
        }
    }
    return anyOpaque && anyTranslucent;
}

} // namespace

// The file is read whole from the stream's position: its real size bounds
// every offset and count in the headers.
TBitmap ReadBmp(TStream& stream)
{
    const int64_t start = stream.Position();
    std::vector<uint8_t> file(static_cast<size_t>(std::max<int64_t>(stream.Remaining(), 0)));
    stream.ReadBuffer(file.data(), file.size());
    const Header header = bmp::ReadHeader(file);
    bmp::CheckRleSize(header);

    TBitmap bitmap(header.width, header.height, LoadedFormat(header));
    if (IsPaletteFormat(bitmap.GetPixelFormat()))
        bitmap.SetPalette(header.palette);
    const uint8_t* bits = file.data() + header.bitsOffset;
    const bool runLength = header.compression == bmp::kRle8 || header.compression == bmp::kRle4;
    const size_t used = runLength ? bmp::DecodeRle(bits, header, bitmap) : DecodeUncompressed(bits, header, bitmap);
    if (bitmap.GetPixelFormat() == PixelFormat::pf32bit && !AlphaMatters(bitmap))
        bitmap.SetPixelFormat(PixelFormat::pf24bit);
    // Leave the stream just after the picture, for containers that go on.
    stream.SetPosition(start + static_cast<int64_t>(header.bitsOffset + used));
    return bitmap;
}

} // namespace animora
