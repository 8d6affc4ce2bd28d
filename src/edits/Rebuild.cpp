#include "edits/Rebuild.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "color/ColorLookup.h"
#include "color/ColorTypes.h"
#include "gif/Composition.h"
#include "gif/Extension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/Painter.h"
#include "gif/SubImage.h"
#include "platform/Canvas.h"

namespace animora::edits {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

uint32_t PixelColor(const uint8_t* bgra)
{
    return uint32_t{bgra[2]} | (uint32_t{bgra[1]} << 8) | (uint32_t{bgra[0]} << 16);
}

// Colour to index for at most 256 colours: open addressing, so that a
// picture of a few hundred thousand pixels costs a probe or two per pixel.
class TColorIndex {
public:
    TColorIndex() { slots_.fill({kNone, 0}); }
    // Answers the index, or -1; an unknown colour is added when there is room
    // and `add` is set.
    int Find(uint32_t color, bool add)
    {
        for (size_t s = Hash(color);; s = (s + 1) & (kSlots - 1)) {
            if (slots_[s].color == color)
                return slots_[s].index;
            if (slots_[s].color == kNone) {
                if (!add || count_ >= limit_)
                    return -1;
                slots_[s] = {color, static_cast<uint8_t>(count_)};
                colors_.push_back(color);
                return count_++;
            }
        }
    }
    void SetLimit(int limit) { limit_ = limit; }
    int Count() const { return count_; }
    const std::vector<uint32_t>& Colors() const { return colors_; }

private:
    static constexpr size_t kSlots = 1024;
    static size_t Hash(uint32_t color) { return (color * 2654435761u) >> 22; }
    struct Slot {
        uint32_t color;
        uint8_t index;
    };
    std::array<Slot, kSlots> slots_;
    std::vector<uint32_t> colors_;
    int count_ = 0;
    int limit_ = 256;
};

// Which colours the new frames take. With one global table for every frame
// the pictures keep it (a slot is added for transparency when there is
// room); exact pictures find their colours there, resampled ones the
// nearest. Other pictures get a table of their own.
class TPictureColors {
public:
    TPictureColors(const TGIFImage& source, bool exact) : exact_(exact)
    {
        const TGIFColorMap& global = source.Header().ColorMap();
        globalCount_ = global.Count();
        bool localMaps = false;
        for (int i = 0; i < source.Images().Count(); ++i)
            localMaps |= source.Images().SubImage(i)->ColorMap().Count() > 0;
        useGlobal_ = globalCount_ > 0 && !localMaps;
        if (!useGlobal_)
            return;
        std::vector<TPaletteEntry> entries;
        for (int c = 0; c < globalCount_; ++c) {
            const uint8_t* rgb = global.Entries() + 3 * c;
            entries.push_back({rgb[0], rgb[1], rgb[2], 0});
            globalIndex_.Find(uint32_t{rgb[0]} | (uint32_t{rgb[1]} << 8) | (uint32_t{rgb[2]} << 16), true);
        }
        // Duplicate entries: the table answers the first, which is as good.
        if (!exact_)
            nearest_ = std::make_unique<TFastColorLookup>(entries.data(), globalCount_);
    }

    bool UsesGlobal() const { return useGlobal_; }
    // The global table's slot for transparency, or -1 when it is full.
    int GlobalTransparentSlot() const { return useGlobal_ && globalCount_ < 256 ? globalCount_ : -1; }

    using TResult = TFramePixels;

    TResult Map(const TBitmap& picture)
    {
        TResult result;
        bool transparency = false;
        for (int y = 0; y < picture.Height() && !transparency; ++y) {
            const uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < picture.Width(); ++x)
                transparency |= row[4 * x + 3] == 0;
        }
        if (useGlobal_ && (!transparency || GlobalTransparentSlot() >= 0) && MapToGlobal(picture, result))
            return result;
        result.pixels.clear();
        reduced_ |= !MapToOwnTable(picture, transparency, result);
        return result;
    }

    // Whether the last picture needed more colours than a frame holds.
    bool TakeReduced() { return std::exchange(reduced_, false); }

private:
    bool MapToGlobal(const TBitmap& picture, TResult& result)
    {
        result.transparent = GlobalTransparentSlot();
        result.pixels.resize(static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height()));
        uint8_t* out = result.pixels.data();
        for (int y = 0; y < picture.Height(); ++y) {
            const uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < picture.Width(); ++x, ++out) {
                const uint8_t* p = row + 4 * x;
                if (p[3] == 0) {
                    *out = static_cast<uint8_t>(result.transparent);
                } else if (exact_) {
                    const int index = globalIndex_.Find(PixelColor(p), false);
                    if (index < 0)
                        return false;
                    *out = static_cast<uint8_t>(index);
                } else {
                    int r, g, b;
                    *out = nearest_->MatchColor(p[2], p[1], p[0], r, g, b);
                }
            }
        }
        return true;
    }

    // The picture's own colours when they fit (answers true), else the octree's.
    static bool MapToOwnTable(const TBitmap& picture, bool transparency, TResult& result)
    {
        TColorIndex own;
        own.SetLimit(transparency ? 255 : 256);
        const size_t size = static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
        result.pixels.resize(size);
        std::vector<bool> clear(size, false);
        bool fits = true;
        size_t i = 0;
        for (int y = 0; y < picture.Height(); ++y) {
            const uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < picture.Width(); ++x, ++i) {
                if (row[4 * x + 3] == 0) {
                    clear[i] = true;
                    continue;
                }
                const int index = fits ? own.Find(PixelColor(row + 4 * x), true) : -1;
                fits = index >= 0;
                result.pixels[i] = static_cast<uint8_t>(std::max(index, 0));
            }
        }
        std::vector<uint32_t> colors = own.Colors();
        if (!fits) {
            TBitmap rgb(picture.Width(), picture.Height(), PixelFormat::pf24bit);
            for (int y = 0; y < picture.Height(); ++y) {
                const uint8_t* from = picture.ScanLine(y);
                uint8_t* to = rgb.ScanLine(y);
                for (int x = 0; x < picture.Width(); ++x)
                    std::memcpy(to + 3 * x, from + 4 * x, 3);
            }
            const std::unique_ptr<TBitmap> reduced =
                ReduceFrameColors(rgb, crOptimized, 0, transparency ? 7 : 8);
            colors.clear();
            for (int c = 0; c < reduced->Palette().Count(); ++c)
                colors.push_back(reduced->Palette().Entry(c).Color());
            i = 0;
            for (int y = 0; y < picture.Height(); ++y) {
                const uint8_t* row = reduced->ScanLine(y);
                for (int x = 0; x < picture.Width(); ++x)
                    result.pixels[i++] = row[x];
            }
        }
        if (colors.empty() || transparency) {
            result.transparent = static_cast<int>(colors.size());
            colors.push_back(0);
            for (size_t k = 0; k < size; ++k)
                if (clear[k])
                    result.pixels[k] = static_cast<uint8_t>(result.transparent);
        }
        for (const uint32_t color : colors) {
            result.localMap.push_back(static_cast<uint8_t>(color));
            result.localMap.push_back(static_cast<uint8_t>(color >> 8));
            result.localMap.push_back(static_cast<uint8_t>(color >> 16));
        }
        // A table of one colour is written as two; keep the count even.
        if (result.localMap.size() == 3)
            result.localMap.insert(result.localMap.end(), {0, 0, 0});
        return fits;
    }

    bool exact_;
    bool reduced_ = false;
    int globalCount_ = 0;
    bool useGlobal_ = false;
    TColorIndex globalIndex_;
    std::unique_ptr<TFastColorLookup> nearest_;
};

// The new frame's graphic control, in place of the source's first one.
std::unique_ptr<TGIFGraphicControlExtension> NewControl(TGIFSubImage& frame, const TGIFGraphicControlExtension* old,
                                                        int transparent)
{
    auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
    if (old) {
        control->SetDelay(old->Delay());
        control->SetUserInput(old->UserInput());
    }
    control->SetDisposal(1);
    if (transparent >= 0) {
        control->SetStoredTransparentColorIndex(static_cast<uint8_t>(transparent));
        control->SetTransparent(true);
    }
    return control;
}

} // namespace

std::unique_ptr<TGIFSubImage> MakeFrame(TGIFImage& result, TGIFSubImage& source, const TRect& bounds,
                                        const TFramePixels& colors)
{
    auto frame = std::make_unique<TGIFSubImage>(&result);
    frame->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    std::memcpy(frame->Data(), colors.pixels.data(), colors.pixels.size());
    if (!colors.localMap.empty())
        frame->ColorMap().FillFromRGBTriples(colors.localMap.data(), static_cast<int>(colors.localMap.size() / 3));
    TGIFGraphicControlExtension* oldControl = source.GraphicControl();
    bool placed = false;
    for (int e = 0; e < source.Extensions().Count(); ++e) {
        TGIFExtension& extension = *source.Extensions().Extension(e);
        if (!dynamic_cast<TGIFGraphicControlExtension*>(&extension)) {
            frame->Extensions().Append(CloneExtension(extension, *frame));
        } else if (!placed) {
            frame->Extensions().Append(NewControl(*frame, oldControl, colors.transparent));
            placed = true;
        }
    }
    if (!placed && colors.transparent >= 0)
        frame->Extensions().Append(NewControl(*frame, nullptr, colors.transparent));
    frame->PixelsChanged();
    return frame;
}

namespace {

bool CoversScreen(const TGIFSubImage& frame, const TGIFImage& image)
{
    return frame.Left() == 0 && frame.Top() == 0 && frame.Width() == image.GetWidth() &&
           frame.Height() == image.GetHeight();
}

int TransparentIndex(const TGIFSubImage& frame)
{
    return frame.Transparent() && frame.GraphicControl() ? frame.GraphicControl()->TransparentColorIndex() : -1;
}

bool HasTransparentPixel(const TGIFSubImage& frame)
{
    const int t = TransparentIndex(frame);
    return t >= 0 && std::memchr(frame.Data(), t, frame.DataSize()) != nullptr;
}

void SetDisposal(TGIFSubImage& frame, int disposal)
{
    if (!frame.GraphicControl()) {
        if (disposal <= 1)
            return;
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    }
    frame.GraphicControl()->SetDisposal(disposal);
}

// Cuts the transparent rows and columns off the edges, keeping at least one
// pixel, so the frame (and its delay) stays.
void CropBorders(TGIFSubImage& frame)
{
    const int t = TransparentIndex(frame);
    if (t < 0 || frame.IsEmpty())
        return;
    int left = frame.Width(), top = frame.Height(), right = -1, bottom = -1;
    for (int y = 0; y < frame.Height(); ++y) {
        const uint8_t* row = frame.Data() + static_cast<size_t>(y) * static_cast<size_t>(frame.Width());
        for (int x = 0; x < frame.Width(); ++x)
            if (row[x] != t) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right < 0)
        left = right = top = bottom = 0;
    if (left == 0 && top == 0 && right == frame.Width() - 1 && bottom == frame.Height() - 1)
        return;
    const int w = right - left + 1, h = bottom - top + 1;
    std::vector<uint8_t> kept(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(kept.data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                    frame.Data() + static_cast<size_t>(top + y) * static_cast<size_t>(frame.Width()) +
                        static_cast<size_t>(left),
                    static_cast<size_t>(w));
    frame.SetBounds(frame.Left() + left, frame.Top() + top, w, h);
    std::memcpy(frame.Data(), kept.data(), kept.size());
    frame.PixelsChanged();
}

} // namespace

bool FramesStandAlone(const TGIFImage& image)
{
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        if (!frame.IsEmpty() && (!CoversScreen(frame, image) || HasTransparentPixel(frame)))
            return false;
    }
    return true;
}

void BuildWholePictures(TGIFImage& source, TGIFImage& result, int width, int height,
                        const TPictureTransform& transform)
{
    result.Clear();
    result.Header().Assign(source.Header());
    result.Header().SetScreenWidth(static_cast<uint16_t>(width));
    result.Header().SetScreenHeight(static_cast<uint16_t>(height));
    TPictureColors colors(source, !transform);
    if (colors.GlobalTransparentSlot() >= 0)
        result.Header().ColorMap().AddColor(0);

    // Composed over nothing, as a player shows it over the page, without dithering.
    TBitmap screen(source.GetWidth(), source.GetHeight(), PixelFormat::pf32bit);
    TCanvas canvas(screen);
    TGIFComposition composition(source, drTransparent | drAnimate, Bounds(0, 0, screen.Width(), screen.Height()),
                                canvas);
    int previousDisposal = 1;
    std::string reduced;
    for (int i = 0; i < source.Images().Count(); ++i) {
        TGIFSubImage& frame = *source.Images().SubImage(i);
        if (frame.IsEmpty()) {
            result.Add(frame);
            continue;
        }
        const int disposal = FrameDisposal(frame);
        composition.Paint(i, disposal, previousDisposal);
        previousDisposal = disposal;
        const TBitmap& picture = transform ? transform(screen, i) : screen;
        result.Add(MakeFrame(result, frame, Bounds(0, 0, width, height), colors.Map(picture)));
        if (colors.TakeReduced())
            reduced += (reduced.empty() ? "" : ", ") + std::to_string(i + 1);
    }
    TidyDisposals(result);
    // Frames of their own colour tables can show more colours together than
    // one frame holds; say so rather than lose them silently.
    if (!reduced.empty())
        source.Warning(source, 1, "More colours on screen than a frame holds at frames " + reduced +
                                      ": their pictures were reduced to 256 colours");
}

void TidyDisposals(TGIFImage& image)
{
    const int count = image.Images().Count();
    for (int k = 0; k < count; ++k) {
        TGIFSubImage& frame = *image.Images().SubImage(k);
        if (frame.IsEmpty() || !CoversScreen(frame, image) || FrameDisposal(frame) == 3)
            continue;
        // The frame drawn on what this one leaves, on the next pass for the last.
        const TGIFSubImage* next = nullptr;
        for (int step = 1; step <= count && !next; ++step) {
            const TGIFSubImage& candidate = *image.Images().SubImage((k + step) % count);
            if (!candidate.IsEmpty() && FrameDisposal(candidate) != 3)
                next = &candidate;
        }
        if (!next || !CoversScreen(*next, image))
            continue;
        const int t = TransparentIndex(*next);
        const int own = TransparentIndex(frame);
        bool clear = false;
        if (t >= 0)
            for (size_t p = 0; p < next->DataSize() && !clear; ++p)
                clear = next->Data()[p] == t && frame.Data()[p] != own;
        SetDisposal(frame, clear ? 2 : 1);
    }
}

void Reoptimise(TGIFImage& image)
{
    image.Optimize(ooMerge | ooColorMap, image.ReductionMode(), image.ReductionBits(), image.DitherStyle());
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFSubImage& frame = *image.Images().SubImage(i);
        // A smaller frame would restore a smaller area.
        if (FrameDisposal(frame) < 2)
            CropBorders(frame);
    }
}

void ReplaceContents(TGIFImage& target, const TGIFImage& source)
{
    target.StopAllPainters();
    target.StopAnimation();
    target.Images().DeleteAll();
    target.Header().Assign(source.Header());
    for (int i = 0; i < source.Images().Count(); ++i)
        target.Add(*source.Images().SubImage(i));
    target.DropCaches();
}

} // namespace animora::edits
