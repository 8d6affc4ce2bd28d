// The BMP writer: the plainest file every reader understands — a
// BITMAPFILEHEADER, a BITMAPINFOHEADER, the colour table and uncompressed
// rows stored bottom-up.
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/Endian.h"
#include "platform/Stream.h"

namespace animora {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

bool WrittenAsItIs(PixelFormat format)
{
    return IsPaletteFormat(format) || format == PixelFormat::pf24bit;
}

std::vector<uint8_t> ColorTable(const TBitmap& bitmap)
{
    std::vector<uint8_t> table;
    if (!IsPaletteFormat(bitmap.GetPixelFormat()))
        return table;
    const TPalette& palette = bitmap.Palette();
    table.resize(static_cast<size_t>(palette.Count()) * 4);
    for (int i = 0; i < palette.Count(); ++i) {
        uint8_t* quad = &table[static_cast<size_t>(i) * 4];
        quad[0] = palette[i].blue, quad[1] = palette[i].green, quad[2] = palette[i].red, quad[3] = 0;
    }
    return table;
}

void WriteHeaders(const TBitmap& bitmap, uint32_t tableSize, TStream& stream)
{
    const uint32_t imageSize = static_cast<uint32_t>(bitmap.RowBytes() * static_cast<size_t>(bitmap.Height()));
    const uint32_t bitsOffset = kFileHeaderSize + kInfoHeaderSize + tableSize;
    uint8_t header[kFileHeaderSize + kInfoHeaderSize] = {};
    header[0] = 'B', header[1] = 'M';
    PutU32LE(header + 2, bitsOffset + imageSize);
    PutU32LE(header + 10, bitsOffset);
    uint8_t* info = header + kFileHeaderSize;
    PutU32LE(info + 0, kInfoHeaderSize);
    PutU32LE(info + 4, static_cast<uint32_t>(bitmap.Width()));
    PutU32LE(info + 8, static_cast<uint32_t>(bitmap.Height()));
    PutU16LE(info + 12, 1);
    PutU16LE(info + 14, static_cast<uint16_t>(bitmap.BitsPerPixel()));
    PutU32LE(info + 16, 0);  // no compression
    PutU32LE(info + 20, imageSize);
    PutU32LE(info + 24, 2835);  // 72 dots per inch, in dots per metre
    PutU32LE(info + 28, 2835);
    PutU32LE(info + 32, tableSize / 4);
    PutU32LE(info + 36, 0);
    stream.WriteBuffer(header, sizeof header);
}

} // namespace

void WriteBmp(const TBitmap& bitmap, TStream& stream)
{
    if (!WrittenAsItIs(bitmap.GetPixelFormat())) {
        TBitmap copy = bitmap;
        copy.SetPixelFormat(PixelFormat::pf24bit);
        WriteBmp(copy, stream);
        return;
    }
    const std::vector<uint8_t> table = ColorTable(bitmap);
    WriteHeaders(bitmap, static_cast<uint32_t>(table.size()), stream);
    stream.WriteBuffer(table.data(), table.size());
    for (int y = bitmap.Height() - 1; y >= 0; --y)
        stream.WriteBuffer(bitmap.ScanLine(y), bitmap.RowBytes());
}

} // namespace animora
