// The resize: each composed screen resampled smoothly in true colour with
// its transparency, then made into frames again (Rebuild.h).
#include <algorithm>
#include <cstring>
#include <vector>

#include "edits/Edits.h"
#include "edits/Rebuild.h"
#include "color/ColorLookup.h"
#include "effects/ResampleAxis.h"
#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/Painter.h"
#include "gif/SubImage.h"
#include "platform/Canvas.h"

namespace animora::edits {
namespace {

using effects::TResampleAxis;

// Resamples 32-bit screens, alpha 0 or 255, colour and alpha together: a
// colour counts by its alpha, so nothing drawn never darkens an edge. A
// pixel ends transparent when less than half of it was drawn.
class TScreenResampler {
public:
    TScreenResampler(int sourceWidth, int sourceHeight, int width, int height)
        : xAxis_(sourceWidth, width), yAxis_(sourceHeight, height), result_(width, height, PixelFormat::pf32bit),
          rows_(static_cast<size_t>(sourceHeight) * static_cast<size_t>(width) * 4)
    {
    }

    // Only what changed since the last screen is worked again: most frames
    // of an animation change a small part of it.
    const TBitmap& Resample(const TBitmap& screen)
    {
        TSpan rows, columns;
        changed_ = TRect{};
        if (!ChangedArea(screen, rows, columns))
            return result_;
        const TSpan across = Touched(xAxis_, result_.Width(), columns);
        for (int y = rows.first; y <= rows.last; ++y)
            ResampleRow(screen, y, across);
        const TSpan down = Touched(yAxis_, result_.Height(), rows);
        for (int y = down.first; y <= down.last; ++y)
            ResampleColumn(y, across);
        changed_ = TRect{across.first, down.first, across.last + 1, down.last + 1};
        return result_;
    }

    // The part of the result the last Resample may have changed.
    const TRect& Changed() const { return changed_; }

private:
    struct TSpan {
        int first, last;
    };

    // Compares the screen with the last one and keeps it.
    bool ChangedArea(const TBitmap& screen, TSpan& rows, TSpan& columns)
    {
        const size_t rowBytes = static_cast<size_t>(screen.Width()) * 4;
        rows = {screen.Height(), -1};
        columns = {screen.Width(), -1};
        if (previous_.empty()) {
            previous_.resize(rowBytes * static_cast<size_t>(screen.Height()));
            rows = {0, screen.Height() - 1};
            columns = {0, screen.Width() - 1};
            for (int y = 0; y < screen.Height(); ++y)
                std::memcpy(previous_.data() + rowBytes * static_cast<size_t>(y), screen.ScanLine(y), rowBytes);
            return true;
        }
        for (int y = 0; y < screen.Height(); ++y) {
            const uint8_t* now = screen.ScanLine(y);
            uint8_t* before = previous_.data() + rowBytes * static_cast<size_t>(y);
            if (std::memcmp(now, before, rowBytes) == 0)
                continue;
            rows.first = std::min(rows.first, y);
            rows.last = y;
            int left = 0, right = screen.Width() - 1;
            while (std::memcmp(now + 4 * left, before + 4 * left, 4) == 0)
                ++left;
            while (std::memcmp(now + 4 * right, before + 4 * right, 4) == 0)
                --right;
            columns.first = std::min(columns.first, left);
            columns.last = std::max(columns.last, right);
            std::memcpy(before, now, rowBytes);
        }
        return rows.last >= 0;
    }

    // The destination pixels that read any source pixel of the span.
    static TSpan Touched(const TResampleAxis& axis, int size, TSpan source)
    {
        TSpan touched{size, -1};
        for (int i = 0; i < size; ++i)
            for (const TResampleAxis::Tap* tap = axis.Begin(i); tap != axis.End(i); ++tap)
                if (tap->source >= source.first && tap->source <= source.last) {
                    touched.first = std::min(touched.first, i);
                    touched.last = i;
                }
        return touched;
    }

    // Across: 8 bits and 6 bits of fraction per channel, colours weighted by alpha.
    void ResampleRow(const TBitmap& screen, int y, TSpan columns)
    {
        const uint8_t* from = screen.ScanLine(y);
        uint16_t* to = rows_.data() + (static_cast<size_t>(y) * static_cast<size_t>(result_.Width()) +
                                       static_cast<size_t>(columns.first)) * 4;
        for (int x = columns.first; x <= columns.last; ++x, to += 4) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (const TResampleAxis::Tap* tap = xAxis_.Begin(x); tap != xAxis_.End(x); ++tap) {
                const uint8_t* p = from + 4 * tap->source;
                if (p[3] == 0)
                    continue;
                sum[0] += tap->weight * p[0];
                sum[1] += tap->weight * p[1];
                sum[2] += tap->weight * p[2];
                sum[3] += tap->weight * 255;
            }
            for (int c = 0; c < 4; ++c)
                to[c] = static_cast<uint16_t>((sum[c] + (1u << 7)) >> 8);
        }
    }

    // Down, then the colour taken back out of its alpha.
    void ResampleColumn(int y, TSpan columns)
    {
        const size_t width = static_cast<size_t>(result_.Width());
        uint8_t* to = result_.ScanLine(y) + 4 * columns.first;
        for (int x = columns.first; x <= columns.last; ++x, to += 4) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (const TResampleAxis::Tap* tap = yAxis_.Begin(y); tap != yAxis_.End(y); ++tap) {
                const uint16_t* p = rows_.data() + (static_cast<size_t>(tap->source) * width + static_cast<size_t>(x)) * 4;
                for (int c = 0; c < 4; ++c)
                    sum[c] += tap->weight * p[c];
            }
            const uint32_t alpha = sum[3];  // 255 x 2^20 when fully drawn
            if (alpha < (255u << 19)) {
                std::memset(to, 0, 4);
                continue;
            }
            for (int c = 0; c < 3; ++c)
                to[c] = static_cast<uint8_t>(std::min<uint64_t>(255, (uint64_t{sum[c]} * 255 + alpha / 2) / alpha));
            to[3] = 255;
        }
    }

    TResampleAxis xAxis_, yAxis_;
    TBitmap result_;
    std::vector<uint16_t> rows_;
    std::vector<uint8_t> previous_;  // the last screen, to find what changed
    TRect changed_;
};

// The usual case, done without whole pictures: every frame uses the global
// table, which has a slot left for transparency, and no pixel that was drawn
// ever becomes clear again. Each new frame is then the rectangle of what
// changed on the resized screen, unchanged pixels transparent, drawn over
// the frame before (disposal 1). Answers false, with `result` unusable,
// when the animation is not of that kind.
bool ResizeByChanges(TGIFImage& image, int width, int height, TGIFImage& result)
{
    const TGIFColorMap& global = image.Header().ColorMap();
    const int transparent = global.Count();
    if (transparent == 0 || transparent >= 256)
        return false;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (image.Images().SubImage(i)->ColorMap().Count() > 0)
            return false;
    std::vector<TPaletteEntry> entries;
    for (int c = 0; c < transparent; ++c)
        entries.push_back({global.Entries()[3 * c], global.Entries()[3 * c + 1], global.Entries()[3 * c + 2], 0});
    TFastColorLookup nearest(entries.data(), transparent);

    result.Clear();
    result.Header().Assign(image.Header());
    result.Header().SetScreenWidth(static_cast<uint16_t>(width));
    result.Header().SetScreenHeight(static_cast<uint16_t>(height));
    result.Header().ColorMap().AddColor(0);

    TScreenResampler resampler(image.GetWidth(), image.GetHeight(), width, height);
    TBitmap screen(image.GetWidth(), image.GetHeight(), PixelFormat::pf32bit);
    TCanvas canvas(screen);
    TGIFComposition composition(image, drTransparent | drAnimate, Bounds(0, 0, screen.Width(), screen.Height()),
                                canvas);
    constexpr int16_t kClear = -1;
    std::vector<int16_t> shown(static_cast<size_t>(width) * static_cast<size_t>(height), kClear);
    std::vector<int16_t> next;
    int previousDisposal = 1;
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.IsEmpty()) {
            result.Add(frame);
            continue;
        }
        const int disposal = FrameDisposal(frame);
        composition.Paint(i, disposal, previousDisposal);
        previousDisposal = disposal;
        const TBitmap& picture = resampler.Resample(screen);
        const TRect area = resampler.Changed();
        // The new indices of the changed area, and the rectangle of those that differ.
        next.assign(static_cast<size_t>(area.Width()) * static_cast<size_t>(std::max(area.Height(), 0)), kClear);
        TRect differs{width, height, -1, -1};
        for (int y = area.top; y < area.bottom; ++y) {
            const uint8_t* row = picture.ScanLine(y);
            for (int x = area.left; x < area.right; ++x) {
                const uint8_t* p = row + 4 * x;
                int16_t index = kClear;
                if (p[3] != 0) {
                    int r, g, b;
                    index = nearest.MatchColor(p[2], p[1], p[0], r, g, b);
                }
                next[static_cast<size_t>(y - area.top) * static_cast<size_t>(area.Width()) + static_cast<size_t>(x - area.left)] = index;
                const int16_t before = shown[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
                if (index == before)
                    continue;
                if (index == kClear)
                    return false;
                differs = {std::min(differs.left, x), std::min(differs.top, y), std::max(differs.right, x + 1),
                           std::max(differs.bottom, y + 1)};
            }
        }
        // A frame that changes nothing stays as one transparent pixel, for its delay.
        if (differs.right < 0)
            differs = Bounds(0, 0, 1, 1);
        TFramePixels pixels;
        pixels.transparent = transparent;
        pixels.pixels.assign(static_cast<size_t>(differs.Width()) * static_cast<size_t>(differs.Height()),
                             static_cast<uint8_t>(transparent));
        for (int y = differs.top; y < differs.bottom && area.right > area.left; ++y)
            for (int x = differs.left; x < differs.right; ++x) {
                if (x < area.left || x >= area.right || y < area.top || y >= area.bottom)
                    continue;
                const int16_t index = next[static_cast<size_t>(y - area.top) * static_cast<size_t>(area.Width()) +
                                           static_cast<size_t>(x - area.left)];
                int16_t& before = shown[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
                if (index != before) {
                    pixels.pixels[static_cast<size_t>(y - differs.top) * static_cast<size_t>(differs.Width()) +
                                  static_cast<size_t>(x - differs.left)] = static_cast<uint8_t>(index);
                    before = index;
                }
            }
        result.Add(MakeFrame(result, frame, differs, pixels));
    }
    result.Optimize(ooColorMap, result.ReductionMode(), result.ReductionBits(), result.DitherStyle());
    return true;
}

} // namespace

void Resize(TGIFImage& image, int width, int height)
{
    if (width < 1 || height < 1 || width > 65535 || height > 65535 ||
        int64_t{width} * int64_t{height} > kMaxFramePixels)
        throw EEditError("Cannot resize to " + std::to_string(width) + " x " + std::to_string(height) +
                         ": each side must lie between 1 and 65535 pixels, and a frame hold at most " +
                         std::to_string(kMaxFramePixels) + " pixels");
    if (image.Images().Count() == 0 || image.GetWidth() < 1 || image.GetHeight() < 1)
        throw EEditError("The animation has no frames");
    TGIFImage result;
    if (ResizeByChanges(image, width, height, result)) {
        ReplaceContents(image, result);
        return;
    }
    TScreenResampler resampler(image.GetWidth(), image.GetHeight(), width, height);
    BuildWholePictures(image, result, width, height,
                       [&](const TBitmap& screen, int) -> const TBitmap& { return resampler.Resample(screen); });
    Reoptimise(result);
    ReplaceContents(image, result);
}

} // namespace animora::edits
