#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/BmpCodec.h"
#include "platform/Errors.h"
#include "platform/PixelAccess.h"
#include "platform/Stream.h"

namespace animora {

int BitsPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat::pf1bit: return 1;
    case PixelFormat::pf4bit: return 4;
    case PixelFormat::pf8bit: return 8;
    case PixelFormat::pf15bit:
    case PixelFormat::pf16bit: return 16;
    case PixelFormat::pf32bit: return 32;
    case PixelFormat::pfDevice:
    case PixelFormat::pf24bit: break;
    }
    return 24;
}

bool IsPaletteFormat(PixelFormat format)
{
    return format == PixelFormat::pf1bit || format == PixelFormat::pf4bit || format == PixelFormat::pf8bit;
}

PixelFormat PixelFormatForBits(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return PixelFormat::pf1bit;
    case 4: return PixelFormat::pf4bit;
    case 8: return PixelFormat::pf8bit;
    case 15: return PixelFormat::pf15bit;
    case 16: return PixelFormat::pf16bit;
    case 24: return PixelFormat::pf24bit;
    case 32: return PixelFormat::pf32bit;
    default: throw EInvalidGraphicOperation("Unsupported PixelFormat");
    }
}

size_t DIBRowBytes(int width, int bitsPerPixel)
{
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
}

namespace pixels {

TColor ReadColor(const uint8_t* row, int x, PixelFormat format, const TPalette& palette)
{
    switch (format) {
    case PixelFormat::pf1bit:
    case PixelFormat::pf4bit:
    case PixelFormat::pf8bit: {
        const int index = GetIndex(row, x, BitsPerPixel(format));
        return index < palette.Count() ? palette[index].Color() : 0;
    }
    case PixelFormat::pf15bit: {
        const unsigned v = static_cast<unsigned>(row[2 * x] | (row[2 * x + 1] << 8));
        return MakeColor(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
    }
    case PixelFormat::pf16bit: {
        const unsigned v = static_cast<unsigned>(row[2 * x] | (row[2 * x + 1] << 8));
        return MakeColor(Widen5((v >> 11) & 31), Widen6((v >> 5) & 63), Widen5(v & 31));
    }
    case PixelFormat::pf32bit: {
        const uint8_t* p = row + 4 * x;
        return MakeColor(p[2], p[1], p[0]);
    }
    case PixelFormat::pfDevice:
    case PixelFormat::pf24bit: break;
    }
    const uint8_t* p = row + 3 * x;
    return MakeColor(p[2], p[1], p[0]);
}

void WriteColor(uint8_t* row, int x, PixelFormat format, TColor color, uint8_t index, uint8_t alpha)
{
    const uint8_t r = ColorRed(color), g = ColorGreen(color), b = ColorBlue(color);
    switch (format) {
    case PixelFormat::pf1bit:
    case PixelFormat::pf4bit:
    case PixelFormat::pf8bit: SetIndex(row, x, BitsPerPixel(format), index); return;
    case PixelFormat::pf15bit: {
        const unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        row[2 * x] = static_cast<uint8_t>(v);
        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        return;
    }
    case PixelFormat::pf16bit: {
        const unsigned v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[2 * x] = static_cast<uint8_t>(v);
        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        return;
    }
    case PixelFormat::pf32bit: {
        uint8_t* p = row + 4 * x;
        p[0] = b, p[1] = g, p[2] = r, p[3] = alpha;
        return;
    }
    case PixelFormat::pfDevice:
    case PixelFormat::pf24bit: break;
    }
    uint8_t* p = row + 3 * x;
    p[0] = b, p[1] = g, p[2] = r;
}

} // namespace pixels

namespace {

PixelFormat StoredFormat(PixelFormat format)
{
    return format == PixelFormat::pfDevice ? PixelFormat::pf24bit : format;
}

// The palette a bitmap gets when it drops to a palette format: its own when
// that fits, else the standard palette of the depth.
TPalette PaletteForDepth(const TPalette& current, PixelFormat target)
{
    const int capacity = 1 << BitsPerPixel(target);
    if (!current.Empty() && current.Count() <= capacity)
        return current;
    switch (target) {
    case PixelFormat::pf1bit: return MonochromePalette();
    case PixelFormat::pf4bit: return SixteenColorPalette();
    default: return BuiltInHalftonePalette();
    }
}

// Nearest palette index per colour, remembered because pictures repeat colours.
class NearestIndexCache {
public:
    explicit NearestIndexCache(const TPalette& palette) : palette_(palette) {}

    uint8_t IndexOf(TColor color)
    {
        const auto found = cache_.find(color);
        if (found != cache_.end())
            return found->second;
        const int index = palette_.NearestIndex(ColorRed(color), ColorGreen(color), ColorBlue(color));
        const auto result = static_cast<uint8_t>(std::max(index, 0));
        cache_.emplace(color, result);
        return result;
    }

private:
    const TPalette& palette_;
    std::unordered_map<TColor, uint8_t> cache_;
};

uint8_t AlphaOf(const uint8_t* row, int x, PixelFormat format)
{
    return format == PixelFormat::pf32bit ? row[4 * x + 3] : 255;
}

} // namespace

TBitmap::TBitmap(int width, int height, PixelFormat format)
{
    Allocate(width, height, StoredFormat(format));
    if (IsPaletteFormat(format_))
        palette_ = PaletteForDepth(TPalette(), format_);
}

void TBitmap::Allocate(int width, int height, PixelFormat format)
{
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("Invalid image dimensions");
    if (static_cast<int64_t>(width) * height > MaxBitmapPixels)
        throw EOutOfMemory("Bitmap is too large");
    const size_t rowBytes = DIBRowBytes(width, animora::BitsPerPixel(format));
    pixels_.assign(rowBytes * static_cast<size_t>(height), 0);
    width_ = width;
    height_ = height;
    format_ = format;
    rowBytes_ = rowBytes;
}

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    TBitmap resized;
    resized.Allocate(width, height, format_);
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    const size_t keepBits = static_cast<size_t>(keepWidth) * static_cast<size_t>(BitsPerPixel());
    const size_t wholeBytes = keepBits / 8;
    const unsigned leftoverBits = static_cast<unsigned>(keepBits % 8);
    for (int y = 0; y < keepHeight; ++y) {
        const uint8_t* from = ScanLine(y);
        uint8_t* to = resized.ScanLine(y);
        std::memcpy(to, from, wholeBytes);
        // A partly kept byte of a 1 or 4-bit row keeps only its pixels'
        // bits, so the row's padding stays zero.
        if (leftoverBits != 0)
            to[wholeBytes] = static_cast<uint8_t>(from[wholeBytes] & (0xFF00u >> leftoverBits));
    }
    pixels_ = std::move(resized.pixels_);
    rowBytes_ = resized.rowBytes_;
    width_ = width;
    height_ = height;
}

void TBitmap::SetPalette(const TPalette& palette)
{
    palette_ = palette;
}

void TBitmap::SetPixelFormat(PixelFormat format)
{
    format = StoredFormat(format);
    if (format == format_)
        return;
    const bool toPalette = IsPaletteFormat(format);
    TPalette targetPalette = toPalette ? PaletteForDepth(palette_, format) : palette_;
    const bool keepIndices = toPalette && IsPaletteFormat(format_) &&
                             animora::BitsPerPixel(format) > BitsPerPixel();

    TBitmap converted;
    converted.Allocate(width_, height_, format);
    NearestIndexCache nearest(targetPalette);
    const int sourceBits = BitsPerPixel();
    const int targetBits = animora::BitsPerPixel(format);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* from = ScanLine(y);
        uint8_t* to = converted.ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            if (keepIndices) {
                pixels::SetIndex(to, x, targetBits, pixels::GetIndex(from, x, sourceBits));
                continue;
            }
            const TColor color = pixels::ReadColor(from, x, format_, palette_);
            const uint8_t index = toPalette ? nearest.IndexOf(color) : 0;
            pixels::WriteColor(to, x, format, color, index, AlphaOf(from, x, format_));
        }
    }
    pixels_ = std::move(converted.pixels_);
    rowBytes_ = converted.rowBytes_;
    format_ = format;
    palette_ = std::move(targetPalette);
}

uint8_t* TBitmap::ScanLine(int row)
{
    return const_cast<uint8_t*>(static_cast<const TBitmap*>(this)->ScanLine(row));
}

const uint8_t* TBitmap::ScanLine(int row) const
{
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return pixels_.data() + static_cast<size_t>(row) * rowBytes_;
}

TColor TBitmap::PixelColor(int x, int y) const
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_)
        throw EInvalidGraphicOperation("Invalid pixel coordinates");
    return pixels::ReadColor(ScanLine(y), x, format_, palette_);
}

void TBitmap::SetPixelColor(int x, int y, TColor color)
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_)
        throw EInvalidGraphicOperation("Invalid pixel coordinates");
    uint8_t index = 0;
    if (IsPaletteFormat(format_))
        index = static_cast<uint8_t>(
            std::max(palette_.NearestIndex(ColorRed(color), ColorGreen(color), ColorBlue(color)), 0));
    pixels::WriteColor(ScanLine(y), x, format_, color, index);
}

TColor TBitmap::TransparentColor() const
{
    if (hasTransparentColor_)
        return transparentColor_;
    return Empty() ? 0 : PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color)
{
    transparentColor_ = color & 0xFFFFFFu;
    hasTransparentColor_ = true;
}

void TBitmap::LoadFromStream(TStream& stream)
{
    TBitmap loaded = ReadBmp(stream);
    loaded.transparent_ = transparent_;
    *this = std::move(loaded);
}

void TBitmap::SaveToStream(TStream& stream) const
{
    WriteBmp(*this, stream);
}

void TBitmap::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, FileMode::OpenRead);
    LoadFromStream(stream);
}

void TBitmap::SaveToFile(const std::string& fileName) const
{
    WriteFileAtomically(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

bool TBitmap::SamePicture(const TBitmap& other) const
{
    if (width_ != other.width_ || height_ != other.height_ || format_ != other.format_)
        return false;
    if (IsPaletteFormat(format_) && palette_ != other.palette_)
        return false;
    const size_t usedBytes = (static_cast<size_t>(width_) * static_cast<size_t>(BitsPerPixel()) + 7) / 8;
    for (int y = 0; y < height_; ++y)
        if (std::memcmp(ScanLine(y), other.ScanLine(y), usedBytes) != 0)
            return false;
    return true;
}

} // namespace animora
