// The frame's share of image optimisation: cropping transparent borders and
// making pixels transparent that repeat the frame shown below.
#include <algorithm>

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

struct TBox {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; right < left: nothing
};

bool ColumnHasOpaque(const uint8_t* pixels, int width, int height, int x, uint8_t t)
{
    for (int y = 0; y < height; ++y)
        if (pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != t)
            return true;
    return false;
}

bool RowHasOpaque(const uint8_t* row, int left, int right, uint8_t t)
{
    for (int x = left; x <= right; ++x)
        if (row[x] != t)
            return true;
    return false;
}

// The smallest box holding every pixel other than t.
TBox OpaqueBox(const uint8_t* pixels, int width, int height, uint8_t t)
{
    TBox box;
    while (box.left < width && !ColumnHasOpaque(pixels, width, height, box.left, t))
        ++box.left;
    if (box.left == width)
        return box;
    box.right = width - 1;
    while (!ColumnHasOpaque(pixels, width, height, box.right, t))
        --box.right;
    const auto row = [&](int y) { return pixels + static_cast<size_t>(y) * static_cast<size_t>(width); };
    while (!RowHasOpaque(row(box.top), box.left, box.right, t))
        ++box.top;
    box.bottom = height - 1;
    while (!RowHasOpaque(row(box.bottom), box.left, box.right, t))
        --box.bottom;
    return box;
}

bool SameColor(const TGIFColorMap& map1, int index1, const TGIFColorMap& map2, int index2)
{
    // Indices past a map have no colour of their own: never called equal.
    if (index1 >= map1.Count() || index2 >= map2.Count())
        return false;
    if (&map1 == &map2)
        return index1 == index2;
    return std::equal(map1.Entries() + 3 * index1, map1.Entries() + 3 * index1 + 3, map2.Entries() + 3 * index2);
}

bool UsesIndex(const TGIFSubImage& frame, int index)
{
    const uint8_t* pixels = frame.Data();
    return std::find(pixels, pixels + frame.DataSize(), static_cast<uint8_t>(index)) != pixels + frame.DataSize();
}

} // namespace

void TGIFSubImage::CropTransparentBorders()
{
    if (IsEmpty() || !transparent_ || !graphicControl_)
        return;
    const uint8_t t = graphicControl_->TransparentColorIndex();
    const TBox box = OpaqueBox(pixels_.data(), width_, height_, t);
    if (box.right < box.left) {
        Clear();
        return;
    }
    const int newWidth = box.right - box.left + 1;
    const int newHeight = box.bottom - box.top + 1;
    if (newWidth == width_ && newHeight == height_)
        return;
    std::vector<uint8_t> cropped(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const uint8_t* source = ScanLine(box.top + y) + box.left;
        std::copy(source, source + newWidth, cropped.begin() + static_cast<ptrdiff_t>(y) * newWidth);
    }
    pixels_ = std::move(cropped);
    left_ += box.left;
    top_ += box.top;
    width_ = newWidth;
    height_ = newHeight;
    PixelsChanged();
}

namespace {

// The index a frame without transparency can give its merged pixels, added
// lazily: nothing is added to a map unless a pixel is actually merged.
class TNewTransparentIndex {
public:
    explicit TNewTransparentIndex(TGIFSubImage& frame) : frame_(frame) {}

    int Get()
    {
        if (index_ < 0)
            index_ = Choose();
        return index_;
    }

private:
    int Choose()
    {
        const int shared = SharedGlobalIndex();
        if (shared >= 0)
            return shared;
        return frame_.ActiveColorMap().AddColor(MakeColor(0, 0, 0));
    }

    // The transparent index another frame already gives the global map,
    // so frames keep agreeing on it. Only an index this frame does not
    // show as a colour will do, or those pixels would vanish too.
    int SharedGlobalIndex() const
    {
        TGIFImage* image = frame_.Image();
        if (frame_.ColorMap().Count() > 0 || !image)
            return -1;
        const int globalCount = image->Header().ColorMap().Count();
        for (int i = 0; i < image->Images().Count(); ++i) {
            const TGIFSubImage& other = *image->Images().SubImage(i);
            if (&other == &frame_ || !other.Transparent() || !other.GraphicControl() || other.ColorMap().Count() > 0)
                continue;
            const int index = other.GraphicControl()->TransparentColorIndex();
            if (index < globalCount && !UsesIndex(frame_, index))
                return index;
            return -1;
        }
        return -1;
    }

    TGIFSubImage& frame_;
    int index_ = -1;
};

TRect Intersection(const TRect& a, const TRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool HasRestoringDisposal(const TGIFSubImage& frame)
{
    return frame.GraphicControl() && frame.GraphicControl()->Disposal() >= dmBackground &&
           frame.GraphicControl()->Disposal() <= dmPrevious;
}

} // namespace

void TGIFSubImage::MergeWithPrevious(TGIFSubImage& previous)
{
    if (IsEmpty() || previous.IsEmpty() || HasRestoringDisposal(previous))
        return;
    const TRect area = Intersection(BoundsRect(), previous.BoundsRect());
    if (area.IsEmpty())
        return;
    const bool wasTransparent = transparent_ && graphicControl_;
    const int ownT = wasTransparent ? graphicControl_->TransparentColorIndex() : -1;
    // A transparent index past the map cannot be written as a pixel: such a
    // frame gets a new index like an opaque one.
    const bool ownUsable = wasTransparent && ownT < ActiveColorMap().Count();
    if (!ownUsable && ActiveColorMap().Count() >= kMaxColors)
        return;
    const bool previousTransparent = previous.Transparent() && previous.GraphicControl();
    const int previousT = previousTransparent ? previous.GraphicControl()->TransparentColorIndex() : -1;
    const TGIFColorMap& map = ActiveColorMap();
    const TGIFColorMap& previousMap = previous.ActiveColorMap();

    TNewTransparentIndex newIndex(*this);
    bool changed = false;
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* row = ScanLine(y - top_);
        const uint8_t* previousRow = previous.ScanLine(y - previous.top_);
        for (int x = area.left; x < area.right; ++x) {
            uint8_t& p = row[x - left_];
            const int q = previousRow[x - previous.left_];
            if (p == ownT || q == previousT || !SameColor(map, p, previousMap, q))
                continue;
            p = static_cast<uint8_t>(ownUsable ? ownT : newIndex.Get());
            changed = true;
        }
    }
    if (changed && !ownUsable)
        MakeTransparent(newIndex.Get());
    PixelsChanged();
}

void TGIFSubImage::MakeTransparent(int index)
{
    if (!graphicControl_)
        extensions_.Append(std::make_unique<TGIFGraphicControlExtension>(*this));
    graphicControl_->SetTransparent(true);
    graphicControl_->SetTransparentColorIndex(index);
}

} // namespace animora
