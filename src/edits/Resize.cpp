// The resize: each composed screen resampled smoothly in true colour with
// its transparency, then made into frames again (Rebuild.h).
#include <algorithm>
#include <cstring>
#include <vector>

#include "edits/Edits.h"
#include "edits/Rebuild.h"
#include "effects/ResampleAxis.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"

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
        if (!ChangedArea(screen, rows, columns))
            return result_;
        const TSpan across = Touched(xAxis_, result_.Width(), columns);
        for (int y = rows.first; y <= rows.last; ++y)
            ResampleRow(screen, y, across);
        const TSpan down = Touched(yAxis_, result_.Height(), rows);
        for (int y = down.first; y <= down.last; ++y)
            ResampleColumn(y, across);
        return result_;
    }

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
};

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
    TScreenResampler resampler(image.GetWidth(), image.GetHeight(), width, height);
    TGIFImage result;
    BuildWholePictures(image, result, width, height,
                       [&](const TBitmap& screen, int) -> const TBitmap& { return resampler.Resample(screen); });
    Reoptimise(result);
    ReplaceContents(image, result);
}

} // namespace animora::edits
