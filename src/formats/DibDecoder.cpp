#include "formats/DibDecoder.h"

#include <bit>

namespace animora {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

bool IsKnownBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void ReadColorTable(const ByteReader& info, size_t offset, size_t entrySize, size_t count, DibInfo& dib)
{
    info.Require(offset, entrySize * count);
    dib.colors.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = info.Bytes(offset + i * entrySize, 3);
        dib.colors.push_back(qRgb(entry[2], entry[1], entry[0]));
    }
    dib.headerBytes = offset + entrySize * count;
}

void ParseCoreHeader(const ByteReader& info, DibInfo& dib)
{
    dib.width = info.U16(4);
    dib.height = info.U16(6);
    dib.bitCount = info.U16(10);
    const size_t colorCount = dib.bitCount <= 8 ? size_t{1} << dib.bitCount : 0;
    ReadColorTable(info, 12, 3, colorCount, dib);
}

void ReadMasks(const ByteReader& info, size_t offset, DibInfo& dib)
{
    dib.redMask = info.U32(offset);
    dib.greenMask = info.U32(offset + 4);
    dib.blueMask = info.U32(offset + 8);
}

void ParseInfoHeader(const ByteReader& info, uint32_t headerSize, DibInfo& dib)
{
    const int32_t width = info.S32(4);
    const int32_t height = info.S32(8);
    if (width <= 0 || height == 0 || height == INT32_MIN)
        info.Fail();
    dib.width = width;
    dib.topDown = height < 0;
    dib.height = height < 0 ? -height : height;
    dib.bitCount = info.U16(14);
    dib.compression = info.U32(16);
    const uint32_t used = info.U32(32);

    size_t offset = headerSize;
    if (dib.compression == kBiBitfields) {
        if (dib.bitCount != 16 && dib.bitCount != 32)
            info.Fail();
        ReadMasks(info, 40, dib);
        if (headerSize == 40)
            offset += 12;
    } else if (dib.compression != kBiRgb) {
        info.Fail();
    } else if (dib.bitCount == 16) {
        dib.redMask = 0x7C00, dib.greenMask = 0x03E0, dib.blueMask = 0x001F;
    }
    size_t colorCount = 0;
    if (dib.bitCount <= 8) {
        const size_t full = size_t{1} << dib.bitCount;
        colorCount = used == 0 || used > full ? full : used;
    }
    ReadColorTable(info, offset, 4, colorCount, dib);
}

// Maps a value under a channel mask to 0..255.
uint8_t Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

QRgb PaletteColor(const DibInfo& dib, unsigned index)
{
    return index < dib.colors.size() ? dib.colors[index] : qRgb(0, 0, 0);
}

QRgb PixelAt(const DibInfo& dib, const uint8_t* row, int x)
{
    switch (dib.bitCount) {
    case 1: return PaletteColor(dib, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return PaletteColor(dib, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    case 8: return PaletteColor(dib, row[x]);
    case 16: {
        const uint32_t p = GetU16LE(row + 2 * x);
        return qRgb(Channel(p, dib.redMask), Channel(p, dib.greenMask), Channel(p, dib.blueMask));
    }
    case 24: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: {
        const uint8_t* p = row + 4 * x;
        if (dib.compression == kBiBitfields) {
            const uint32_t v = GetU32LE(p);
            return qRgb(Channel(v, dib.redMask), Channel(v, dib.greenMask), Channel(v, dib.blueMask));
        }
        return qRgba(p[2], p[1], p[0], p[3]);
    }
    }
}

} // namespace

DibInfo ParseDibHeader(const ByteReader& info, int heightDivisor)
{
    DibInfo dib;
    const uint32_t headerSize = info.U32(0);
    if (headerSize == 12)
        ParseCoreHeader(info, dib);
    else if (headerSize >= 40 && headerSize <= 124)
        ParseInfoHeader(info, headerSize, dib);
    else
        info.Fail();
    if (!IsKnownBitCount(dib.bitCount) || dib.width <= 0)
        info.Fail();
    dib.height /= heightDivisor;
    if (dib.height <= 0 || int64_t{dib.width} * dib.height > MaxDibPixels)
        info.Fail();
    dib.rowBytes = ((size_t(dib.width) * size_t(dib.bitCount) + 31) / 32) * 4;
    return dib;
}

namespace {

bool AnyAlpha(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0)
                return true;
        }
    }
    return false;
}

void MakeOpaque(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

} // namespace

QImage DecodeDibPixels(const DibInfo& dib, const ByteReader& bits, bool* usesAlpha)
{
    bits.Require(0, dib.rowBytes * size_t(dib.height));
    QImage image(dib.width, dib.height, QImage::Format_ARGB32);
    if (image.isNull())
        bits.Fail();
    for (int y = 0; y < dib.height; ++y) {
        const int stored = dib.topDown ? y : dib.height - 1 - y;
        const uint8_t* row = bits.Data() + size_t(stored) * dib.rowBytes;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < dib.width; ++x)
            out[x] = PixelAt(dib, row, x);
    }
    const bool alpha = dib.bitCount == 32 && dib.compression == kBiRgb && AnyAlpha(image);
    if (!alpha)
        MakeOpaque(image);
    if (usesAlpha)
        *usesAlpha = alpha;
    return image;
}

} // namespace animora
