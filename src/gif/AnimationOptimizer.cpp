// Frames rebuilt from the composed pictures: the plan is made on screens of
// colours, so it does not depend on how the original frames were cut, and
// it is applied only when it is complete and smaller.
#include "gif/AnimationOptimizer.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "gif/ColorMap.h"
#include "gif/FrameDelta.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

// Sixteen million pixels: a few screens of them are held at once.
constexpr int64_t kMaxScreenPixels = int64_t{1} << 24;
// Descriptor and graphic control of a frame: what a frame that goes saves.
constexpr size_t kFrameOverhead = 18;
constexpr int kKeep = 1;

int DisposalOf(const TGIFSubImage& frame)
{
    return frame.GraphicControl() ? frame.GraphicControl()->Disposal() : 0;
}

int DelayOf(const TGIFSubImage& frame)
{
    return frame.GraphicControl() ? frame.GraphicControl()->Delay() : 0;
}

bool UserInputOf(const TGIFSubImage& frame)
{
    return frame.GraphicControl() && frame.GraphicControl()->UserInput();
}

int TransparentOf(const TGIFSubImage& frame)
{
    return frame.Transparent() && frame.GraphicControl() ? frame.GraphicControl()->TransparentColorIndex() : -1;
}

bool PixelsHaveColors(const TGIFSubImage& frame)
{
    const int t = TransparentOf(frame);
    const int count = frame.ActiveColorMap().Count();
    const uint8_t* pixels = frame.Data();
    for (size_t k = 0; k < frame.DataSize(); ++k)
        if (pixels[k] >= count && pixels[k] != t)
            return false;
    return true;
}

// Only animations whose picture over time is fully defined by the GIF rules
// are rebuilt: a painter stops at an empty frame and does not draw frames of
// disposal 4-7, and a pixel past its map has no colour to keep.
bool Eligible(const TGIFImage& image)
{
    const TGIFImageList& frames = image.Images();
    const int64_t pixels = int64_t{image.GetWidth()} * image.GetHeight();
    if (frames.Count() < 2 || pixels <= 0 || pixels > kMaxScreenPixels)
        return false;
    for (int i = 0; i < frames.Count(); ++i) {
        const TGIFSubImage& frame = *frames.SubImage(i);
        if (frame.IsEmpty() || DisposalOf(frame) > dmPrevious || !PixelsHaveColors(frame))
            return false;
    }
    return true;
}

struct TClip {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The pictures of the original frames, one after the other, by the GIF
// rules over a background of nothing.
class TSourceScreens {
public:
    explicit TSourceScreens(const TGIFImage& image)
        : image_(image), width_(image.GetWidth()), height_(image.GetHeight()),
          screen_(static_cast<size_t>(width_) * static_cast<size_t>(height_), kNoPixel)
    {
    }

    const TScreenColors& Next(int index)
    {
        Dispose();
        const TGIFSubImage& frame = *image_.Images().SubImage(index);
        disposal_ = DisposalOf(frame);
        clip_ = {std::max(frame.Left(), 0), std::max(frame.Top(), 0), std::min(frame.Left() + frame.Width(), width_),
                 std::min(frame.Top() + frame.Height(), height_)};
        if (disposal_ == dmPrevious)
            saved_ = screen_;
        Draw(frame);
        return screen_;
    }

    const TScreenColors& AfterLast()
    {
        Dispose();
        return screen_;
    }

private:
    void Draw(const TGIFSubImage& frame)
    {
        const int t = TransparentOf(frame);
        const uint8_t* entries = frame.ActiveColorMap().Entries();
        for (int y = clip_.top; y < clip_.bottom; ++y) {
            const uint8_t* row = frame.Data() + static_cast<size_t>(y - frame.Top()) * static_cast<size_t>(frame.Width());
            uint32_t* target = screen_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
            for (int x = clip_.left; x < clip_.right; ++x) {
                const int p = row[x - frame.Left()];
                if (p != t)
                    target[x] = ScreenColor(entries + 3 * p);
            }
        }
    }

    void Dispose()
    {
        if (disposal_ == dmPrevious)
            screen_ = saved_;
        else if (disposal_ == dmBackground)
            for (int y = clip_.top; y < clip_.bottom; ++y)
                std::fill_n(screen_.begin() + static_cast<ptrdiff_t>(y) * width_ + clip_.left,
                            std::max(clip_.right - clip_.left, 0), kNoPixel);
        disposal_ = 0;
    }

    const TGIFImage& image_;
    int width_, height_;
    TScreenColors screen_, saved_;
    int disposal_ = 0;
    TClip clip_;
};

struct TFramePlan {
    TFrameDelta delta;
    bool dropLocalMap = false;  // the frame's colours are all in the global map
    int disposal = kKeep;
    int delay = 0;
    bool merged = false;  // shown as part of the kept frame before it
};

void ClearArea(TScreenColors& screen, int width, const TRect& area)
{
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(screen.begin() + static_cast<ptrdiff_t>(y) * width + area.left, area.Width(), kNoPixel);
}

class TPlanner {
public:
    explicit TPlanner(TGIFImage& image)
        : image_(image), width_(image.GetWidth()), source_(image),
          plans_(static_cast<size_t>(image.Images().Count()))
    {
    }

    // False when some frame cannot be written over any picture before it.
    bool Plan(const std::function<void()>& frameDone)
    {
        for (int i = 0; i < image_.Images().Count(); ++i) {
            const TGIFSubImage& frame = *image_.Images().SubImage(i);
            const TGIFColorMap& local = frame.ColorMap();
            originalBytes_ += OriginalBytes(frame) + kFrameOverhead + (local.Count() > 0 ? size_t{3} << local.BitDepth() : 0);
            if (!PlanFrame(i, source_.Next(i)))
                return false;
            if (frameDone)
                frameDone();
        }
        return PlanLastDisposal();
    }

    bool Smaller() const
    {
        size_t bytes = 0;
        for (size_t i = 0; i < plans_.size(); ++i) {
            const TFramePlan& plan = plans_[i];
            const TGIFColorMap& local = image_.Images().SubImage(static_cast<int>(i))->ColorMap();
            if (!plan.merged)
                bytes += plan.delta.bytes + kFrameOverhead +
                         (plan.dropLocalMap || local.Count() == 0 ? 0 : size_t{3} << local.BitDepth());
        }
        return bytes < originalBytes_;
    }

    void Apply();

private:
    const TColorIndexTable& TableFor(const TGIFColorMap& map)
    {
        auto& table = tables_[&map];
        if (!table)
            table = std::make_unique<TColorIndexTable>(map);
        return *table;
    }

    TDeltaMap DeltaMapFor(const TGIFSubImage& frame, bool global = false)
    {
        TDeltaMap map;
        const TGIFColorMap& active = global ? image_.Header().ColorMap() : frame.ActiveColorMap();
        map.colors = &TableFor(active);
        map.preferredTransparent = global ? -1 : TransparentOf(frame);
        map.encoding = image_.Encoding();
        map.interlaced = frame.Interlaced();
        map.tightCodeSize = image_.TightCodeSize();
        if (!global && frame.ColorMap().Count() > 0) {
            map.bitsPerPixel = active.BitDepth();
            map.colorLimit = active.Count();
            map.bitsWithNewEntry = BitsForColors(active.Count() + 1);
            map.limitWithNewEntry = active.Count() + 1;
        } else {
            map.bitsPerPixel = image_.ImageBitDepth();
            map.colorLimit = 1 << map.bitsPerPixel;
            map.bitsWithNewEntry = std::max(map.bitsPerPixel, BitsForColors(active.Count() + 1));
            map.limitWithNewEntry = 1 << map.bitsWithNewEntry;
        }
        return map;
    }

    size_t OriginalBytes(const TGIFSubImage& frame)
    {
        // A transparent index past the map would need the map to grow.
        const TDeltaMap map = DeltaMapFor(frame);
        const int t = TransparentOf(frame);
        std::vector<uint8_t> pixels(frame.Data(), frame.Data() + frame.DataSize());
        int bits = std::max(map.bitsPerPixel, BitsForColors(t + 1));
        if (map.tightCodeSize)
            bits = std::min(bits, TightBitsPerPixel(pixels));
        return EncodedPixelBytes(pixels, frame.Width(), frame.Height(), bits, std::max(map.colorLimit, t + 1),
                                 map.encoding, map.interlaced);
    }

    bool Mergeable(int index) const
    {
        const TGIFSubImage& frame = *image_.Images().SubImage(index);
        const TGIFSubImage& kept = *image_.Images().SubImage(last_);
        const int ownExtensions = frame.GraphicControl() ? 1 : 0;
        return frame.Extensions().Count() == ownExtensions && !UserInputOf(frame) && !UserInputOf(kept) &&
               plans_[static_cast<size_t>(last_)].delay + DelayOf(frame) <= 0xFFFF;
    }

    // The screen the next frame is drawn over when the kept frame before it
    // has the disposal given.
    TScreenColors Before(int disposal) const
    {
        if (disposal == dmPrevious)
            return under_;
        TScreenColors before = shown_;
        if (disposal == dmBackground)
            ClearArea(before, width_, plans_[static_cast<size_t>(last_)].delta.area);
        return before;
    }

    // Restoring the background only pays when the background shows again
    // there, and restoring the previous picture only when that is closer to
    // the target than the picture shown: otherwise every candidate changes
    // at least the pixels keeping the picture changes.
    bool WorthTrying(int disposal, const TScreenColors& target) const
    {
        if (disposal == dmBackground) {
            const TRect& area = plans_[static_cast<size_t>(last_)].delta.area;
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    if (target[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] == kNoPixel)
                        return true;
            return false;
        }
        if (disposal == dmPrevious) {
            size_t fromUnder = 0, fromShown = 0;
            for (size_t k = 0; k < target.size(); ++k) {
                fromUnder += under_[k] != target[k];
                fromShown += shown_[k] != target[k];
            }
            return fromUnder < fromShown;
        }
        return true;
    }

    bool PlanFrame(int index, const TScreenColors& target)
    {
        TFramePlan& plan = plans_[static_cast<size_t>(index)];
        plan.delay = DelayOf(*image_.Images().SubImage(index));
        if (index > 0 && target == shown_ && Mergeable(index)) {
            plan.merged = true;
            plans_[static_cast<size_t>(last_)].delay += plan.delay;
            return true;
        }
        const TGIFSubImage& frame = *image_.Images().SubImage(index);
        // A local map costs its table; the global one may hold every colour
        // the frame needs.
        const bool local = frame.ColorMap().Count() > 0;
        const bool globalToo = local && image_.Header().ColorMap().Count() > 0;
        const size_t localBytes = local ? size_t{3} << frame.ColorMap().BitDepth() : 0;
        std::optional<TFrameDelta> best;
        size_t bestCost = 0;
        int bestDisposal = kKeep;
        TScreenColors bestBefore;
        for (int disposal = kKeep; disposal <= (index == 0 ? kKeep : int(dmPrevious)); ++disposal) {
            if (index > 0 && !WorthTrying(disposal, target))
                continue;
            TScreenColors before = index == 0 ? TScreenColors(target.size(), kNoPixel) : Before(disposal);
            for (int global = 0; global <= (globalToo ? 1 : 0); ++global) {
                std::optional<TFrameDelta> delta = MakeFrameDelta(before, target, width_, DeltaMapFor(frame, global));
                const size_t cost = delta ? delta->bytes + (global ? 0 : localBytes) : 0;
                if (delta && (!best || cost < bestCost)) {
                    best = std::move(delta);
                    bestCost = cost;
                    bestDisposal = disposal;
                    bestBefore = before;
                    plan.dropLocalMap = global != 0;
                }
            }
        }
        if (!best)
            return false;
        if (index == 0)
            first_ = target;
        else
            plans_[static_cast<size_t>(last_)].disposal = bestDisposal;
        plan.delta = std::move(*best);
        under_ = std::move(bestBefore);
        shown_ = target;
        last_ = index;
        return true;
    }

    // A looping animation starts again over what the last frame leaves: the
    // first frame must show the same there as before.
    bool PlanLastDisposal()
    {
        const TScreenColors& expected = source_.AfterLast();
        for (int disposal = kKeep; disposal <= dmPrevious; ++disposal) {
            const TScreenColors after = Before(disposal);
            bool same = true;
            for (size_t k = 0; k < after.size() && same; ++k)
                same = first_[k] != kNoPixel || after[k] == expected[k];
            if (same) {
                plans_[static_cast<size_t>(last_)].disposal = disposal;
                return true;
            }
        }
        return false;
    }

    void ApplyFrame(TGIFSubImage& frame, const TFramePlan& plan, int globalEntry);
    void OrderGlobalMap();

    TGIFImage& image_;
    int width_;
    TSourceScreens source_;
    std::vector<TFramePlan> plans_;
    std::map<const TGIFColorMap*, std::unique_ptr<TColorIndexTable>> tables_;
    TScreenColors first_;  // the picture of the first frame
    TScreenColors shown_;  // the picture of the last kept frame
    TScreenColors under_;  // what the last kept frame was drawn over
    int last_ = 0;
    size_t originalBytes_ = 0;
};

void TPlanner::ApplyFrame(TGIFSubImage& frame, const TFramePlan& plan, int globalEntry)
{
    const TFrameDelta& delta = plan.delta;
    int transparent = delta.transparent;
    if (plan.dropLocalMap) {
        frame.ColorMap().Reset();
        frame.LocalColorMapChanged();
    }
    if (delta.addsEntry)
        transparent = frame.ColorMap().Count() > 0 ? frame.ColorMap().AddColor(0) : globalEntry;
    frame.SetBounds(delta.area.left, delta.area.top, delta.area.Width(), delta.area.Height());
    std::copy(delta.pixels.begin(), delta.pixels.end(), frame.Data());
    frame.PixelsChanged();
    const bool needsControl = transparent >= 0 || plan.disposal != kKeep || plan.delay != 0;
    if (!frame.GraphicControl() && !needsControl)
        return;
    if (!frame.GraphicControl())
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    TGIFGraphicControlExtension& control = *frame.GraphicControl();
    control.SetDisposal(plan.disposal);
    control.SetDelay(static_cast<uint16_t>(plan.delay));
    control.SetTransparent(transparent >= 0);
    if (transparent >= 0)
        control.SetTransparentColorIndex(transparent);
}

void TPlanner::Apply()
{
    TGIFImageList& frames = image_.Images();
    int globalEntry = -1;
    for (int i = 0; i < frames.Count(); ++i) {
        const TFramePlan& plan = plans_[static_cast<size_t>(i)];
        if (!plan.merged && plan.delta.addsEntry && frames.SubImage(i)->ColorMap().Count() == 0 && globalEntry < 0)
            globalEntry = image_.Header().ColorMap().AddColor(0);
    }
    for (int i = 0; i < frames.Count(); ++i)
        if (!plans_[static_cast<size_t>(i)].merged)
            ApplyFrame(*frames.SubImage(i), plans_[static_cast<size_t>(i)], globalEntry);
    OrderGlobalMap();
    for (int i = frames.Count() - 1; i > 0; --i)
        if (plans_[static_cast<size_t>(i)].merged)
            frames.DeleteAt(i);
}

// A frame is written with the code size of its largest index, so the global
// colours come in the order of the encoded bytes of the frames that use them:
// colours of big frames and of many frames get the small indices.
void TPlanner::OrderGlobalMap()
{
    TGIFColorMap& global = image_.Header().ColorMap();
    if (!image_.TightCodeSize() || global.Count() <= 1)
        return;
    TUsageTable usage{};
    for (int i = 0; i < kMaxColors; ++i)
        usage[static_cast<size_t>(i)] = {0, i};
    for (int i = 0; i < image_.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image_.Images().SubImage(i);
        const TFramePlan& plan = plans_[static_cast<size_t>(i)];
        if (plan.merged || &frame.ActiveColorMap() != &global)
            continue;
        std::array<bool, kMaxColors> used{};
        for (size_t k = 0; k < frame.DataSize(); ++k)
            used[frame.Data()[k]] = true;
        for (int c = 0; c < kMaxColors; ++c)
            if (used[static_cast<size_t>(c)])
                usage[static_cast<size_t>(c)].count += static_cast<int64_t>(plan.delta.bytes) + 1;
    }
    global.ReorderEntries(usage);
}

} // namespace

bool TAnimationOptimizer::Models(const TGIFImage& image)
{
    return Eligible(image);
}

bool TAnimationOptimizer::Run(const std::function<void()>& frameDone)
{
    if (!Eligible(image_))
        return false;
    TPlanner planner(image_);
    if (!planner.Plan(frameDone) || !planner.Smaller())
        return false;
    planner.Apply();
    image_.DropCaches();
    return true;
}

} // namespace animora
