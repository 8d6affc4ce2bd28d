#include "formats/DibDecoder.h"

#include <bit>

#include "platform/BmpFormat.h"

namespace animora {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// What icons and metafiles hold: the BMP reader takes more (run-length
// pictures, 2 bits per pixel, alpha bit fields, the short OS/2 2.x headers),
// but a DIB inside another file never uses them and we never decode them.
bool UsedInsideFiles(const bmp::Header& header)
{
    const int bits = header.bitsPerPixel;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownHeader = header.headerSize == 12 || header.headerSize >= 40;
    return knownDepth && knownHeader && (header.compression == kBiRgb || header.compression == kBiBitfields);
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
    if (index >= unsigned(dib.colors.Count()))
        return qRgb(0, 0, 0);
    const TPaletteEntry& entry = dib.colors.Entry(int(index));
    return qRgb(entry.red, entry.green, entry.blue);
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
    bmp::Header header;
    try {
        header = bmp::ReadInfoHeader({info.Data(), info.Size()});
    } catch (const EInvalidGraphic&) {
        info.Fail();  // with the message of the file the DIB is in
    }
    if (!UsedInsideFiles(header))
        info.Fail();
    DibInfo dib;
    dib.width = header.width;
    dib.height = header.height / heightDivisor;
    dib.topDown = header.topDown;
    dib.bitCount = header.bitsPerPixel;
    dib.compression = header.compression;
    dib.redMask = header.red.mask, dib.greenMask = header.green.mask, dib.blueMask = header.blue.mask;
    dib.colors = std::move(header.palette);
    dib.headerBytes = header.tableEnd;
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
