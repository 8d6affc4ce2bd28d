#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/Errors.h"
#include "platform/PixelAccess.h"

namespace animora {

namespace {

TRect Intersect(const TRect& a, const TRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Writes colours into rows of one bitmap, finding palette indices once per colour.
class ColorWriter {
public:
    explicit ColorWriter(const TBitmap& target)
        : format_(target.GetPixelFormat()), palette_(target.Palette()), usesPalette_(IsPaletteFormat(format_))
    {
    }

    void Write(uint8_t* row, int x, TColor color)
    {
        pixels::WriteColor(row, x, format_, color, usesPalette_ ? IndexOf(color) : 0);
    }

private:
    uint8_t IndexOf(TColor color)
    {
        const auto found = cache_.find(color);
        if (found != cache_.end())
            return found->second;
        const int index = palette_.NearestIndex(ColorRed(color), ColorGreen(color), ColorBlue(color));
        return cache_[color] = static_cast<uint8_t>(std::max(index, 0));
    }

    PixelFormat format_;
    const TPalette& palette_;
    bool usesPalette_;
    std::unordered_map<TColor, uint8_t> cache_;
};

bool MaskSet(const TBitmap& mask, int x, int y)
{
    const uint8_t* row = mask.ScanLine(y);
    if (IsPaletteFormat(mask.GetPixelFormat()))
        return pixels::GetIndex(row, x, mask.BitsPerPixel()) != 0;
    return pixels::ReadColor(row, x, mask.GetPixelFormat(), mask.Palette()) != 0;
}

// Source and target hold pixels the same way: indices or colours can be
// copied as they are.
bool SameStorage(const TBitmap& a, const TBitmap& b)
{
    if (a.GetPixelFormat() != b.GetPixelFormat())
        return false;
    return !IsPaletteFormat(a.GetPixelFormat()) || a.Palette() == b.Palette();
}

} // namespace

void TCanvas::Changed()
{
    if (OnChange)
        OnChange();
}

TRect TCanvas::Clip(const TRect& rect) const
{
    return Intersect(rect, {0, 0, bitmap_.Width(), bitmap_.Height()});
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= bitmap_.Width() || y >= bitmap_.Height())
        return kInvalidColor;
    return bitmap_.PixelColor(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= bitmap_.Width() || y >= bitmap_.Height())
        return;
    bitmap_.SetPixelColor(x, y, color);
    Changed();
}

void TCanvas::FillRect(const TRect& rect, TColor color)
{
    const TRect area = Clip(rect);
    if (area.IsEmpty())
        return;
    ColorWriter writer(bitmap_);
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* row = bitmap_.ScanLine(y);
        for (int x = area.left; x < area.right; ++x)
            writer.Write(row, x, color);
    }
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap& source)
{
    CopyRect(Bounds(x, y, source.Width(), source.Height()), source, {0, 0, source.Width(), source.Height()});
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& source)
{
    CopyRect(dest, source, {0, 0, source.Width(), source.Height()});
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect)
{
    Blit(dest, source, sourceRect, nullptr, dest);
    Changed();
}

void TCanvas::MaskedStretchDraw(const TRect& dest, const TBitmap& source, const TBitmap& mask)
{
    Blit(dest, source, {0, 0, source.Width(), source.Height()}, &mask, dest);
    Changed();
}

void TCanvas::TileDraw(const TRect& area, const TBitmap& source, const TBitmap* mask)
{
    if (source.Empty() || area.IsEmpty())
        return;
    const TRect whole{0, 0, source.Width(), source.Height()};
    const TRect clip = Clip(area);
    for (int y = area.top; y < clip.bottom; y += source.Height())
        for (int x = area.left; x < clip.right; x += source.Width())
            Blit(Bounds(x, y, source.Width(), source.Height()), source, whole, mask, clip);
    Changed();
}

// An unscaled copy between bitmaps that store pixels alike, whole bytes per pixel.
void TCanvas::CopyRows(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TRect& area)
{
    if (area.IsEmpty())
        return;
    const size_t pixelBytes = static_cast<size_t>(source.BitsPerPixel() / 8);
    const int sx = sourceRect.left + (area.left - dest.left);
    for (int y = area.top; y < area.bottom; ++y) {
        const int sy = sourceRect.top + (y - dest.top);
        std::memmove(bitmap_.ScanLine(y) + pixelBytes * static_cast<size_t>(area.left),
                    source.ScanLine(sy) + pixelBytes * static_cast<size_t>(sx),
                    pixelBytes * static_cast<size_t>(area.Width()));
    }
}

// The one loop behind every copy: each target pixel inside dest and clip
// takes the source pixel it maps to (nearest neighbour), unless the mask or
// the source's transparent colour says to leave it.
void TCanvas::Blit(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap* mask,
                   const TRect& clip)
{
    const TRect from = Intersect(sourceRect, {0, 0, source.Width(), source.Height()});
    if (dest.IsEmpty() || from.IsEmpty() || sourceRect.IsEmpty())
        return;
    if (mask && (mask->Width() < source.Width() || mask->Height() < source.Height()))
        throw EInvalidGraphicOperation("Mask is smaller than the picture");
    const TRect area = Intersect(Clip(dest), clip);
    const int64_t sw = sourceRect.Width(), sh = sourceRect.Height();
    const int64_t dw = dest.Width(), dh = dest.Height();
    const bool copyStored = SameStorage(source, bitmap_);
    const bool keyed = source.Transparent();
    const TColor key = keyed ? source.TransparentColor() : 0;
    const int sourceBits = source.BitsPerPixel();
    if (copyStored && !keyed && !mask && sw == dw && sh == dh && from == sourceRect && sourceBits % 8 == 0) {
        CopyRows(dest, source, sourceRect, area);
        return;
    }
    ColorWriter writer(bitmap_);
    for (int y = area.top; y < area.bottom; ++y) {
        const int sy = sourceRect.top + static_cast<int>((y - dest.top) * sh / dh);
        if (sy < from.top || sy >= from.bottom)
            continue;  // part of the source rectangle outside the source
        const uint8_t* in = source.ScanLine(sy);
        uint8_t* out = bitmap_.ScanLine(y);
        for (int x = area.left; x < area.right; ++x) {
            const int sx = sourceRect.left + static_cast<int>((x - dest.left) * sw / dw);
            if (sx < from.left || sx >= from.right || (mask && MaskSet(*mask, sx, sy)))
                continue;
            const TColor color = pixels::ReadColor(in, sx, source.GetPixelFormat(), source.Palette());
            if (keyed && color == key)
                continue;
            if (copyStored && IsPaletteFormat(source.GetPixelFormat()))
                pixels::SetIndex(out, x, sourceBits, pixels::GetIndex(in, sx, sourceBits));
            else if (copyStored && source.GetPixelFormat() == PixelFormat::pf32bit)
                std::memcpy(out + 4 * x, in + 4 * sx, 4);
            else
                writer.Write(out, x, color);
        }
    }
}

} // namespace animora
