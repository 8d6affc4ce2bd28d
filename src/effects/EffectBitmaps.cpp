#include "effects/EffectBitmaps.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "color/ColorLookup.h"
#include "color/ColorTypes.h"
#include "color/DitherEngine.h"
#include "effects/PixelCopier.h"
#include "effects/ResampleAxis.h"
#include "platform/PixelAccess.h"

namespace animora::effects {

namespace {

TRect Intersect(const TRect& a, const TRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

TRect Whole(const TBitmap& bitmap)
{
    return {0, 0, bitmap.Width(), bitmap.Height()};
}

TRect Offset(const TRect& rect, int dx, int dy)
{
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// The colour of a palette index; indices past the palette read as black.
TColor EntryColor(const TPalette& palette, int index)
{
    return index < palette.Count() ? palette[index].Color() : 0;
}

} // namespace

void DrawBitmap(TBitmap& target, const TBitmap& source)
{
    CopyRectangle(target, Whole(source), source, Whole(source), dkNearest);
}

TBitmap InPalette(const TBitmap& picture, const TPalette& palette)
{
    TBitmap result(picture.Width(), picture.Height(), PixelFormat::pf8bit);
    result.SetPalette(palette);
    if (picture.GetPixelFormat() == PixelFormat::pf8bit)
        DrawBitmap(result, picture);  // one match per palette entry
    else
        TCanvas(result).Draw(0, 0, picture);  // one match per colour met
    return result;
}

// --- resampling -----------------------------------------------------------------

namespace {

// A source rectangle as true-colour rows: red, green, blue per pixel.
class TColorRows {
public:
    TColorRows(const TBitmap& source, const TRect& rect) : source_(source), rect_(rect)
    {
        if (IsPaletteFormat(source.GetPixelFormat()))
            for (int i = 0; i < 256; ++i)
                colors_[i] = EntryColor(source.Palette(), i);
        rows_.resize(static_cast<size_t>(rect.Height()));
    }

    // Row y of the rectangle (0 = its top), converted on first use.
    const uint8_t* Row(int y)
    {
        std::vector<uint8_t>& row = rows_[static_cast<size_t>(y)];
        if (!row.empty())
            return row.data();
        const int width = rect_.Width();
        row.resize(static_cast<size_t>(width) * 3);
        const uint8_t* in = source_.ScanLine(rect_.top + y);
        const PixelFormat format = source_.GetPixelFormat();
        const int bits = source_.BitsPerPixel();
        for (int x = 0; x < width; ++x) {
            const int sx = rect_.left + x;
            const TColor color = IsPaletteFormat(format) ? colors_[pixels::GetIndex(in, sx, bits)]
                                                         : pixels::ReadColor(in, sx, format, source_.Palette());
            row[3 * x] = ColorRed(color);
            row[3 * x + 1] = ColorGreen(color);
            row[3 * x + 2] = ColorBlue(color);
        }
        return row.data();
    }

private:
    const TBitmap& source_;
    TRect rect_;
    TColor colors_[256] = {};
    std::vector<std::vector<uint8_t>> rows_;
};

// Writes resampled rows of colours into the visible part of a target.
class TRowMatcher {
public:
    TRowMatcher(TBitmap& target, int left, int width, int dither) : target_(target), left_(left)
    {
        if (!IsPaletteFormat(target.GetPixelFormat()) || target.Palette().Empty())
            return;
        lookup_ = std::make_unique<TFastColorLookup>(target.Palette());
        engine_ = MakeDitherEngine(static_cast<DitherKind>(dither), width, *lookup_);
        if (!engine_)
            engine_ = MakeDitherEngine(dkNearest, width, *lookup_);
        indices_.resize(static_cast<size_t>(width));
    }

    // A row of blue, green, red pixels for target row y.
    void Write(int y, const uint8_t* bgr, int width)
    {
        uint8_t* out = target_.ScanLine(y);
        const PixelFormat format = target_.GetPixelFormat();
        if (engine_) {
            engine_->DitherRow(bgr, indices_.data());
            engine_->NextRow();
            if (format == PixelFormat::pf8bit)
                std::memcpy(out + left_, indices_.data(), static_cast<size_t>(width));
            else
                for (int x = 0; x < width; ++x)
                    pixels::SetIndex(out, left_ + x, target_.BitsPerPixel(), indices_[static_cast<size_t>(x)]);
            return;
        }
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = bgr + 3 * x;
            const TColor color = MakeColor(p[2], p[1], p[0]);
            if (IsPaletteFormat(format))
                target_.SetPixelColor(left_ + x, y, color);  // a palette bitmap without a palette
            else
                pixels::WriteColor(out, left_ + x, format, color, 0);
        }
    }

private:
    TBitmap& target_;
    int left_;
    std::unique_ptr<TFastColorLookup> lookup_;
    std::unique_ptr<TDitherEngine> engine_;
    std::vector<uint8_t> indices_;
};

void StretchSmooth(TBitmap& target, const TRect& dest, const TBitmap& source, const TRect& sourceRect, int dither)
{
    const TRect from = Intersect(sourceRect, Whole(source));
    const TRect area = Intersect(dest, Whole(target));
    if (from.IsEmpty() || area.IsEmpty())
        return;
    const TResampleAxis xAxis(from.Width(), dest.Width());
    const TResampleAxis yAxis(from.Height(), dest.Height());
    TColorRows rows(source, from);
    TRowMatcher matcher(target, area.left, area.Width(), dither);
    const int sourceWidth = from.Width();
    std::vector<uint32_t> column(static_cast<size_t>(sourceWidth) * 3);
    std::vector<uint8_t> bgr(static_cast<size_t>(area.Width()) * 3);
    constexpr int kShift = TResampleAxis::kShift;
    for (int y = area.top; y < area.bottom; ++y) {
        // Down the columns: each source column's colour at this row, in units of 1 / kOne.
        std::fill(column.begin(), column.end(), 0u);
        for (auto tap = yAxis.Begin(y - dest.top); tap != yAxis.End(y - dest.top); ++tap) {
            const uint8_t* row = rows.Row(tap->source);
            const uint32_t weight = tap->weight;
            for (size_t c = 0; c < column.size(); ++c)
                column[c] += weight * row[c];
        }
        // Along the row.
        uint8_t* out = bgr.data();
        for (int x = area.left; x < area.right; ++x, out += 3) {
            if (xAxis.Identity()) {
                const uint32_t* in = column.data() + 3 * static_cast<size_t>(x - dest.left);
                for (int c = 0; c < 3; ++c)
                    out[2 - c] = static_cast<uint8_t>((in[c] + (1u << (kShift - 1))) >> kShift);
                continue;
            }
            uint64_t sum[3] = {0, 0, 0};
            for (auto tap = xAxis.Begin(x - dest.left); tap != xAxis.End(x - dest.left); ++tap) {
                const uint32_t* in = column.data() + 3 * static_cast<size_t>(tap->source);
                for (int c = 0; c < 3; ++c)
                    sum[c] += uint64_t{tap->weight} * in[c];
            }
            for (int c = 0; c < 3; ++c)
                out[2 - c] = static_cast<uint8_t>((sum[c] + (uint64_t{1} << (2 * kShift - 1))) >> (2 * kShift));
        }
        matcher.Write(y, bgr.data(), area.Width());
    }
}

} // namespace

void CopyRectangle(TBitmap& target, const TRect& dest, const TBitmap& source, const TRect& sourceRect, int dither)
{
    if (dest.IsEmpty() || sourceRect.IsEmpty())
        return;
    if (dest.Width() != sourceRect.Width() || dest.Height() != sourceRect.Height()) {
        StretchSmooth(target, dest, source, sourceRect, dither);
        return;
    }
    // Unscaled: the part of dest inside the target whose source lies inside the source.
    const int dx = dest.left - sourceRect.left, dy = dest.top - sourceRect.top;
    const TRect area = Intersect(Intersect(dest, Whole(target)), Offset(Intersect(sourceRect, Whole(source)), dx, dy));
    if (area.IsEmpty())
        return;
    TPixelCopier copier(source, target);
    for (int y = area.top; y < area.bottom; ++y)
        copier.CopyRun(area.left - dx, y - dy, area.left, y, area.Width());
}

} // namespace animora::effects
