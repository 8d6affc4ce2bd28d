// The headers of a BMP file: the 14-byte file header, then an info header of
// one of several generations (OS/2 with 16-bit sizes, Windows 3 with 40
// bytes, later ones up to 124 bytes adding masks and colour spaces), bit
// masks and the colour table. Every field is checked before it is trusted.
#include <bit>

#include "platform/Bitmap.h"
#include "platform/BmpFormat.h"
#include "platform/Endian.h"
#include "platform/Errors.h"

namespace animora::bmp {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kOs2HeaderSize = 12;
constexpr uint32_t kWindowsHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 124;

// Bounds-checked little-endian reads of the file.
class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> file) : file_(file) {}

    bool Has(size_t offset, size_t count) const { return offset <= file_.size() && count <= file_.size() - offset; }
    uint16_t U16(size_t offset) const { return GetU16LE(At(offset, 2)); }
    uint32_t U32(size_t offset) const { return GetU32LE(At(offset, 4)); }
    int32_t S32(size_t offset) const { return GetS32LE(At(offset, 4)); }
    const uint8_t* At(size_t offset, size_t count) const
    {
        if (!Has(offset, count))
            Invalid();
        return file_.data() + offset;
    }
    size_t Size() const { return file_.size(); }

private:
    std::span<const uint8_t> file_;
};

Channel MakeChannel(uint32_t mask, int bitsPerPixel)
{
    if (mask == 0)
        return {};
    if (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0)
        Invalid();
    Channel channel;
    channel.mask = mask;
    channel.shift = std::countr_zero(mask);
    channel.bits = std::popcount(mask);
    if ((mask >> channel.shift) != (channel.bits == 32 ? 0xFFFFFFFFu : (1u << channel.bits) - 1))
        Invalid();  // the bits of a channel must be contiguous
    return channel;
}

void SetDefaultMasks(Header& header)
{
    if (header.bitsPerPixel == 16) {
        header.red = MakeChannel(0x7C00, 16);
        header.green = MakeChannel(0x03E0, 16);
        header.blue = MakeChannel(0x001F, 16);
    } else if (header.bitsPerPixel >= 24) {
        header.red = MakeChannel(0xFF0000, 32);
        header.green = MakeChannel(0x00FF00, 32);
        header.blue = MakeChannel(0x0000FF, 32);
    }
}

void CheckFormat(const Header& header)
{
    const int bpp = header.bitsPerPixel;
    switch (header.compression) {
    case kRgb:
        if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            Invalid();
        break;
    case kRle8:
        if (bpp != 8 || header.topDown)
            Invalid();
        break;
    case kRle4:
        if (bpp != 4 || header.topDown)
            Invalid();
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (bpp != 16 && bpp != 32)
            Invalid();
        break;
    default: Invalid();
    }
}

// Width, height and row order; a picture over the bitmap limit is refused
// here, before anything is allocated for it. `base` is where the info header
// starts: after the file header in a file, at 0 in a packed DIB.
void ReadDimensions(const Bytes& bytes, size_t base, uint32_t headerSize, Header& header)
{
    const size_t at = base + 4;
    int64_t width, height;
    if (headerSize == kOs2HeaderSize) {
        width = bytes.U16(at);
        height = bytes.U16(at + 2);
        header.bitsPerPixel = bytes.U16(at + 6);
    } else {
        width = bytes.S32(at);
        height = bytes.S32(at + 4);
        header.bitsPerPixel = bytes.U16(at + 10);
        header.compression = headerSize >= 20 ? bytes.U32(at + 12) : kRgb;
    }
    header.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width * height > MaxBitmapPixels)
        Invalid();
    header.width = static_cast<int>(width);
    header.height = static_cast<int>(height);
}

// Masks live inside the info header from the 52-byte generation on, or
// right after a 40-byte header; answers where the colour table starts.
size_t ReadMasks(const Bytes& bytes, size_t base, uint32_t headerSize, Header& header)
{
    const size_t maskAt = base + kWindowsHeaderSize;
    size_t afterHeader = base + headerSize;
    const bool bitFields = header.compression == kBitFields || header.compression == kAlphaBitFields;
    if (!bitFields) {
        SetDefaultMasks(header);
        return afterHeader;
    }
    int maskCount = header.compression == kAlphaBitFields ? 4 : 3;
    if (headerSize == kWindowsHeaderSize)
        afterHeader += 4 * static_cast<size_t>(maskCount);
    else if (headerSize >= 56)
        maskCount = 4;
    else if (headerSize < 52)
        Invalid();
    header.red = MakeChannel(bytes.U32(maskAt), header.bitsPerPixel);
    header.green = MakeChannel(bytes.U32(maskAt + 4), header.bitsPerPixel);
    header.blue = MakeChannel(bytes.U32(maskAt + 8), header.bitsPerPixel);
    if (maskCount == 4)
        header.alpha = MakeChannel(bytes.U32(maskAt + 12), header.bitsPerPixel);
    return afterHeader;
}

// The colour table of a palette picture. A count of 0 means "as many as the
// depth allows, as far as they fit before the pixels"; a count larger than
// the depth allows is cut to it; the entries must be in the file. Answers
// where the table ends.
size_t ReadColorTable(const Bytes& bytes, size_t base, uint32_t headerSize, size_t tableAt, Header& header)
{
    if (header.bitsPerPixel > 8)
        return tableAt;
    const size_t entrySize = headerSize == kOs2HeaderSize ? 3 : 4;
    const size_t capacity = size_t{1} << header.bitsPerPixel;
    const uint32_t declared = headerSize >= 36 ? bytes.U32(base + 32) : 0;
    size_t count = declared == 0 || declared > capacity ? capacity : declared;
    if (declared == 0 && header.bitsOffset > tableAt)
        count = std::min(count, (header.bitsOffset - tableAt) / entrySize);
    if (count == 0)
        Invalid();
    const uint8_t* table = bytes.At(tableAt, count * entrySize);
    std::vector<TPaletteEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = table + i * entrySize;
        entries[i] = {e[2], e[1], e[0], 0};
    }
    header.palette = TPalette(std::move(entries));
    return tableAt + count * entrySize;
}

// The info header, its masks and its colour table, starting at `base`.
void ReadInfo(const Bytes& bytes, size_t base, Header& header)
{
    const uint32_t headerSize = bytes.U32(base);
    if (headerSize != kOs2HeaderSize && (headerSize < 16 || headerSize > kLargestHeaderSize))
        Invalid();
    bytes.At(base, headerSize);
    header.headerSize = headerSize;
    ReadDimensions(bytes, base, headerSize, header);
    CheckFormat(header);
    const size_t tableAt = ReadMasks(bytes, base, headerSize, header);
    header.tableEnd = ReadColorTable(bytes, base, headerSize, tableAt, header);
}

} // namespace

void Invalid()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

Header ReadHeader(std::span<const uint8_t> file)
{
    const Bytes bytes(file);
    const uint8_t* signature = bytes.At(0, kFileHeaderSize);
    if (signature[0] != 'B' || signature[1] != 'M')
        Invalid();
    Header header;
    header.bitsOffset = bytes.U32(10);
    ReadInfo(bytes, kFileHeaderSize, header);
    if (header.bitsOffset < kFileHeaderSize + header.headerSize || header.bitsOffset >= bytes.Size())
        Invalid();
    header.bitsSize = bytes.Size() - header.bitsOffset;
    return header;
}

Header ReadInfoHeader(std::span<const uint8_t> dib)
{
    Header header;
    ReadInfo(Bytes(dib), 0, header);
    return header;
}

} // namespace animora::bmp
