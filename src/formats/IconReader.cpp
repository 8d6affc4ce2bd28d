#include "formats/IconReader.h"

#include <QBuffer>
#include <QImageReader>

#include "formats/ByteReader.h"
#include "formats/DibDecoder.h"
#include "qtbridge/QtBitmap.h"

namespace animora {

namespace {

const char* const kIconInvalid = "Icon image is not valid";
constexpr size_t kDirectoryHeader = 6;
constexpr size_t kEntrySize = 16;
constexpr int kMaxIconSide = 4096;
constexpr int kPngAllocationLimitMB = 80;

struct DirectoryEntry {
    uint32_t size = 0;
    uint32_t offset = 0;
};

bool IsPng(const ByteReader& entry)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return entry.Contains(0, 8) && std::equal(signature, signature + 8, entry.Data());
}

// The PNG header's own size, checked before Qt allocates anything.
bool PngSizeAcceptable(const ByteReader& entry)
{
    if (!entry.Contains(16, 8))
        return false;
    const uint8_t* p = entry.Data() + 16;
    const uint32_t width = (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    const uint32_t height = (uint32_t(p[4]) << 24) | (p[5] << 16) | (p[6] << 8) | p[7];
    return width > 0 && height > 0 && width <= kMaxIconSide && height <= kMaxIconSide;
}

TIconImage DecodePngEntry(const ByteReader& entry)
{
    if (!PngSizeAcceptable(entry))
        entry.Fail();
    EnsureQtGui();  // the PNG decoder is QtGui's; nothing else of an icon needs it
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(entry.Data()), qsizetype(entry.Size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAllocationLimit(kPngAllocationLimitMB);
    TIconImage icon;
    icon.image = reader.read().convertToFormat(QImage::Format_ARGB32);
    if (icon.image.isNull())
        entry.Fail();
    icon.bitDepth = 32;
    icon.png = true;
    return icon;
}

// The AND mask follows the colour rows: 1 bit per pixel, rows padded to 4
// bytes, bottom row first. A set bit shows the background. Icons whose file
// ends before the mask are drawn opaque.
void ApplyAndMask(const DibInfo& dib, const ByteReader& entry, size_t maskOffset, QImage& image)
{
    const size_t maskRow = ((size_t(dib.width) + 31) / 32) * 4;
    if (!entry.Contains(maskOffset, maskRow * size_t(dib.height)))
        return;
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* row = entry.Data() + maskOffset + size_t(dib.height - 1 - y) * maskRow;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < dib.width; ++x) {
            if ((row[x >> 3] >> (7 - (x & 7))) & 1)
                out[x] = qRgba(0, 0, 0, 0);
        }
    }
}

TIconImage DecodeDibEntry(const ByteReader& entry)
{
    const DibInfo dib = ParseDibHeader(entry, 2);
    if (dib.width > kMaxIconSide || dib.height > kMaxIconSide || dib.topDown)
        entry.Fail();
    const size_t pixelBytes = dib.rowBytes * size_t(dib.height);
    entry.Require(dib.headerBytes, pixelBytes);
    bool usesAlpha = false;
    TIconImage icon;
    icon.image = DecodeDibPixels(dib, entry.Sub(dib.headerBytes, pixelBytes), &usesAlpha);
    // A 32-bit image with real alpha describes its own transparency; the
    // AND mask is only there for old displays.
    if (!usesAlpha)
        ApplyAndMask(dib, entry, dib.headerBytes + pixelBytes, icon.image);
    icon.bitDepth = dib.bitCount;
    return icon;
}

std::vector<DirectoryEntry> ReadDirectory(const ByteReader& file)
{
    const uint16_t reserved = file.U16(0);
    const uint16_t type = file.U16(2);
    const uint16_t count = file.U16(4);
    // Type 1 is an icon, 2 a cursor (same layout, hot spot instead of planes).
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        file.Fail();
    file.Require(kDirectoryHeader, kEntrySize * count);
    std::vector<DirectoryEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kDirectoryHeader + i * kEntrySize;
        entries.push_back({file.U32(at + 8), file.U32(at + 12)});
    }
    return entries;
}

} // namespace

std::vector<TIconImage> ReadIconImages(const uint8_t* data, size_t size)
{
    const ByteReader file(data, size, kIconInvalid);
    std::vector<TIconImage> images;
    for (const DirectoryEntry& entry : ReadDirectory(file)) {
        if (entry.size == 0 || !file.Contains(entry.offset, entry.size))
            continue;
        const ByteReader bytes = file.Sub(entry.offset, entry.size);
        try {
            images.push_back(IsPng(bytes) ? DecodePngEntry(bytes) : DecodeDibEntry(bytes));
        } catch (const EInvalidGraphic&) {
            // one bad image does not spoil the others
        }
    }
    if (images.empty())
        file.Fail();
    return images;
}

const TIconImage& ChooseIconImage(const std::vector<TIconImage>& images)
{
    const TIconImage* best = &images.front();
    for (const TIconImage& icon : images) {
        const int64_t area = int64_t{icon.image.width()} * icon.image.height();
        const int64_t bestArea = int64_t{best->image.width()} * best->image.height();
        if (area > bestArea || (area == bestArea && icon.bitDepth > best->bitDepth))
            best = &icon;
    }
    return *best;
}

} // namespace animora
