#include "color/DIB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Errors.h"

namespace animora {

namespace {

// A bitmap the DIB cannot describe. The colour engine sits below the GIF
// codec, so it raises the platform's error; the codec's own GIFException
// derives from it, and callers catch either way.
[[noreturn]] void RaiseDIBError(const char* message)
{
    throw EInvalidGraphic(message);
}

constexpr int kHeaderSize = 40;
constexpr int kColorTableSize = 256 * 4;

int DIBBitCount(PixelFormat format)
{
    switch (format) {
    case PixelFormat::pf1bit: return 1;
    case PixelFormat::pf4bit: return 4;
    case PixelFormat::pf8bit: return 8;
    case PixelFormat::pf24bit: return 24;
    default: RaiseDIBError("Unsupported PixelFormat");
    }
}

TRGBQuad ToRGBQuad(const TPaletteEntry& entry)
{
    return TRGBQuad{entry.blue, entry.green, entry.red, 0};
}

} // namespace

TDIBReader::TDIBReader(TBitmap& bitmap, PixelFormat format) : TDIB(bitmap, format)
{
    bitmap.SetPixelFormat(format);
}

TDIBWriter::TDIBWriter(TBitmap& target, PixelFormat format, int width, int height, const TPalette* palette)
    : TDIB(target, format), height_(height), width_(width)
{
    if (format != PixelFormat::pf8bit && format != PixelFormat::pf24bit)
        RaiseDIBError("Unsupported PixelFormat");
    // A negative width would make negative row sizes; refuse it like 0.
    if (height == 0 || width <= 0)
        RaiseDIBError("Invalid image dimensions");
    if (palette)
        palette_ = *palette;
}

TDIBWriter::~TDIBWriter()
{
    try {
        Finish();
    } catch (...) {
        FreeDIB();
    }
}

size_t TDIBWriter::RowBytes() const
{
    return DIBRowBytes(width_, DIBBitCount(pixelFormat_));
}

void TDIBWriter::CreateDIB()
{
    FreeDIB();
    try {
        const bool indexed = pixelFormat_ == PixelFormat::pf8bit;
        infoSize_ = indexed ? kHeaderSize + kColorTableSize : kHeaderSize;
        info_ = std::make_unique<TBitmapInfo>();
        TBitmapInfoHeader& header = info_->Header;
        header.Width = width_;
        header.Height = height_;
        header.BitCount = static_cast<uint16_t>(DIBBitCount(pixelFormat_));
        if (indexed)
            FillColorTable();

        const int64_t rows = std::abs(static_cast<int64_t>(height_));
        if (static_cast<int64_t>(width_) * rows > MaxBitmapPixels)
            throw EOutOfMemory("Failed to allocate memory for GIF DIB");
        bitsSize_ = RowBytes() * static_cast<size_t>(rows);
        bits_.reset(new (std::nothrow) uint8_t[bitsSize_]());
        if (!bits_)
            throw EOutOfMemory("Failed to allocate memory for GIF DIB");
    } catch (...) {
        FreeDIB();
        throw;
    }
}

// Palette entries are red, green, blue, flags; the table wants blue, green,
// red, 0. Places past the palette stay all zero.
void TDIBWriter::FillColorTable()
{
    const int count = std::min(palette_.Count(), 256);
    for (int i = 0; i < count; ++i)
        info_->Colors[i] = ToRGBQuad(palette_[i]);
    info_->Header.ClrUsed = 256;
    info_->Header.ClrImportant = static_cast<uint32_t>(count);
}

void TDIBWriter::FreeDIB()
{
    info_.reset();
    bits_.reset();
    infoSize_ = 0;
    bitsSize_ = 0;
}

uint8_t* TDIBWriter::GetRow(int row)
{
    if (!info_)
        CreateDIB();
    if (!bits_)
        RaiseDIBError("Image has no DIB");
    const int rows = std::abs(height_);
    if (row < 0 || row >= rows)
        throw EInvalidGraphicOperation("Scan line index out of range");
    const size_t stored = info_->Header.Height >= 1 ? static_cast<size_t>(rows - row - 1) : static_cast<size_t>(row);
    return bits_.get() + stored * RowBytes();
}

// The target takes the picture directly: same size, the full 256-entry colour
// table as its palette (8 bits) and the rows turned top-down.
void TDIBWriter::Finish()
{
    if (!bits_)
        return;
    const int rows = std::abs(height_);
    TBitmap picture(width_, rows, pixelFormat_);
    if (pixelFormat_ == PixelFormat::pf8bit) {
        std::vector<TPaletteEntry> entries(256);
        for (int i = 0; i < 256; ++i) {
            const TRGBQuad& quad = info_->Colors[i];
            entries[i] = TPaletteEntry{quad.red, quad.green, quad.blue, 0};
        }
        picture.SetPalette(TPalette(std::move(entries)));
    }
    const size_t rowBytes = RowBytes();
    for (int row = 0; row < rows; ++row)
        std::memcpy(picture.ScanLine(row), GetRow(row), rowBytes);
    bitmap_ = std::move(picture);
    FreeDIB();
}

void FillDIBHeader(const TBitmap& bitmap, TBitmapInfoHeader& header, PixelFormat format)
{
    if (bitmap.Empty())
        RaiseDIBError("Bitmap image is not valid");
    header = TBitmapInfoHeader{};
    header.Width = bitmap.Width();
    header.Height = bitmap.Height();
    header.BitCount = static_cast<uint16_t>(DIBBitCount(format));
    header.Planes = 1;
    header.Compression = 0;
    header.SizeImage = static_cast<uint32_t>(DIBRowBytes(header.Width, header.BitCount)) *
                       static_cast<uint32_t>(std::abs(header.Height));
}

namespace {

// The bitmap at a palette format with its pixels mapped to the nearest
// entries of `palette` (only as many entries as the format can index).
TBitmap MapToPalette(const TBitmap& bitmap, const TPalette& palette, PixelFormat format)
{
    const int usable = std::min(palette.Count(), 1 << BitsPerPixel(format));
    TPalette limited(std::vector<TPaletteEntry>(palette.Entries().begin(), palette.Entries().begin() + usable));
    TBitmap mapped(bitmap.Width(), bitmap.Height(), format);
    mapped.SetPalette(limited);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            mapped.SetPixelColor(x, y, bitmap.PixelColor(x, y));
    }
    return mapped;
}

} // namespace

bool CopyDIBBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, PixelFormat format,
                 std::span<uint8_t> bits)
{
    FillDIBHeader(bitmap, info.Header, format);
    if (bits.size() < info.Header.SizeImage)
        return false;
    TBitmap converted;
    if (palette && !palette->Empty() && IsPaletteFormat(format)) {
        converted = MapToPalette(bitmap, *palette, format);
    } else {
        converted = bitmap;
        converted.SetPixelFormat(format);
    }
    info.Colors = {};
    if (IsPaletteFormat(format)) {
        const int count = std::min(converted.Palette().Count(), 1 << info.Header.BitCount);
        for (int i = 0; i < count; ++i)
            info.Colors[i] = ToRGBQuad(converted.Palette()[i]);
    }
    const size_t rowBytes = converted.RowBytes();
    const int height = converted.Height();
    for (int row = 0; row < height; ++row)
        std::memcpy(bits.data() + static_cast<size_t>(height - 1 - row) * rowBytes, converted.ScanLine(row), rowBytes);
    return height > 0;
}

} // namespace animora
