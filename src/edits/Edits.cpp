#include "edits/Edits.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "edits/Rebuild.h"
#include "gif/AppExtension.h"
#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/Painter.h"
#include "gif/SubImage.h"

namespace animora::edits {
namespace {

int FrameCount(const TGIFImage& image)
{
    return image.Images().Count();
}

// Messages number frames from 1, as the user sees them.
void CheckFrame(const TGIFImage& image, int index)
{
    if (index < 0 || index >= FrameCount(image))
        throw EEditError("Frame " + std::to_string(index + 1) + " does not exist: the animation has " +
                         std::to_string(FrameCount(image)) + " frames");
}

void CheckRange(const TGIFImage& image, TFrameRange range)
{
    if (range.first < 0 || range.last < range.first || range.last >= FrameCount(image))
        throw EEditError("Frames " + std::to_string(range.first + 1) + " to " + std::to_string(range.last + 1) +
                         " do not exist: the animation has " + std::to_string(FrameCount(image)) + " frames");
}

void CheckNotEmpty(const TGIFImage& image)
{
    if (FrameCount(image) == 0)
        throw EEditError("The animation has no frames");
}

int Delay(const TGIFSubImage& frame)
{
    return frame.GraphicControl() ? frame.GraphicControl()->Delay() : 0;
}

void SetFrameDelay(TGIFSubImage& frame, int delay)
{
    if (!frame.GraphicControl()) {
        if (delay == 0)
            return;
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    }
    frame.GraphicControl()->SetDelay(static_cast<uint16_t>(std::min(delay, 65535)));
}

void Stop(TGIFImage& image)
{
    image.StopAllPainters();
    image.StopAnimation();
}

// One frame of a new order: a frame of the image (-1: the extra frame) and
// the delay it gets (-1: its own).
struct TPick {
    int source;
    int delay = -1;
};

bool IsLoop(const TGIFExtension& extension)
{
    return dynamic_cast<const TGIFAppExtNSLoop*>(&extension) != nullptr;
}

// The image becomes the picked frames, each showing what it showed before.
void Rearrange(TGIFImage& image, const std::vector<TPick>& picks, const TGIFSubImage* extra = nullptr)
{
    TGIFImage whole;
    const bool rebuild = !FramesStandAlone(image);
    if (rebuild)
        BuildWholePictures(image, whole, image.GetWidth(), image.GetHeight());
    const TGIFImage& from = rebuild ? whole : image;

    TGIFImage result;
    result.Header().Assign(from.Header());
    TGIFExtension* loop = nullptr;
    for (int i = 0; i < from.Images().Count() && !loop; ++i) {
        const TGIFExtensionList& extensions = from.Images().SubImage(i)->Extensions();
        for (int e = 0; e < extensions.Count() && !loop; ++e)
            if (IsLoop(*extensions.Extension(e)))
                loop = extensions.Extension(e);
    }
    for (const TPick& pick : picks) {
        const TGIFSubImage& source = pick.source < 0 ? *extra : *from.Images().SubImage(pick.source);
        TGIFSubImage& copy = *result.Images().SubImage(result.Add(source));
        for (int e = copy.Extensions().Count() - 1; e >= 0; --e)
            if (IsLoop(*copy.Extensions().Extension(e)))
                copy.Extensions().DeleteAt(e);
        if (pick.delay >= 0)
            SetFrameDelay(copy, pick.delay);
    }
    // The looping block belongs to the animation: in front of the first frame.
    if (loop && result.Images().Count() > 0) {
        TGIFSubImage& first = *result.Images().SubImage(0);
        first.Extensions().Append(CloneExtension(*loop, first));
        first.Extensions().MoveItem(first.Extensions().Count() - 1, 0);
    }
    if (rebuild) {
        TidyDisposals(result);
        Reoptimise(result);
    }
    ReplaceContents(image, result);
}

// The frames before the trailing empty ones: a file's blocks after its last
// picture are kept as an empty last frame, which must stay last, or playing
// would end as soon as it came.
int ShownCount(const TGIFImage& image)
{
    int count = FrameCount(image);
    while (count > 0 && image.Images().SubImage(count - 1)->IsEmpty())
        --count;
    return count;
}

std::vector<TPick> Identity(const TGIFImage& image)
{
    std::vector<TPick> picks;
    for (int i = 0; i < FrameCount(image); ++i)
        picks.push_back({i});
    return picks;
}

// Whether each frame shows the same picture as the frame before it.
std::vector<bool> RepeatsPrevious(TGIFImage& image)
{
    std::vector<bool> repeats(static_cast<size_t>(FrameCount(image)), false);
    TBitmap screen(image.GetWidth(), image.GetHeight(), PixelFormat::pf32bit);
    TCanvas canvas(screen);
    TGIFComposition composition(image, drTransparent | drAnimate, Bounds(0, 0, screen.Width(), screen.Height()),
                                canvas);
    std::vector<uint8_t> previous;
    const size_t rowBytes = static_cast<size_t>(screen.Width()) * 4;
    std::vector<uint8_t> current(rowBytes * static_cast<size_t>(screen.Height()));
    int previousDisposal = 1;
    for (int i = 0; i < FrameCount(image); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.IsEmpty()) {
            previous.clear();  // never merged across the end of a pass
            continue;
        }
        const int disposal = FrameDisposal(frame);
        composition.Paint(i, disposal, previousDisposal);
        previousDisposal = disposal;
        for (int y = 0; y < screen.Height(); ++y)
            std::memcpy(current.data() + rowBytes * static_cast<size_t>(y), screen.ScanLine(y), rowBytes);
        repeats[static_cast<size_t>(i)] = previous == current;
        previous.swap(current);
        current.resize(previous.size());
    }
    return repeats;
}

} // namespace

void Reverse(TGIFImage& image)
{
    std::vector<TPick> picks = Identity(image);
    std::reverse(picks.begin(), picks.begin() + ShownCount(image));
    Rearrange(image, picks);
}

void PingPong(TGIFImage& image)
{
    const int count = ShownCount(image);
    if (count < 3)
        return;
    std::vector<TPick> picks = Identity(image);
    const auto tail = picks.begin() + count;
    std::vector<TPick> back;
    for (int i = count - 2; i >= 1; --i)
        back.push_back({i});
    picks.insert(tail, back.begin(), back.end());
    Rearrange(image, picks);
}

void SetDelay(TGIFImage& image, int delay)
{
    if (FrameCount(image) > 0)
        SetDelay(image, delay, {0, FrameCount(image) - 1});
}

void SetDelay(TGIFImage& image, int delay, TFrameRange range)
{
    if (delay < 0 || delay > 65535)
        throw EEditError("A delay must lie between 0 and 65535 hundredths of a second");
    CheckRange(image, range);
    Stop(image);
    for (int i = range.first; i <= range.last; ++i) {
        TGIFSubImage& frame = *image.Images().SubImage(i);
        if (!frame.GraphicControl())
            frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
        frame.GraphicControl()->SetDelay(static_cast<uint16_t>(delay));
    }
    image.DropCaches();
}

void ChangeSpeed(TGIFImage& image, int percent)
{
    if (percent < 1 || percent > 10000)
        throw EEditError("A speed must lie between 1 and 10000 percent");
    Stop(image);
    for (int i = 0; i < FrameCount(image); ++i) {
        TGIFGraphicControlExtension* control = image.Images().SubImage(i)->GraphicControl();
        if (!control || control->Delay() == 0)
            continue;
        const int64_t scaled = (int64_t{control->Delay()} * 200 + percent) / (2 * int64_t{percent});
        control->SetDelay(static_cast<uint16_t>(std::clamp<int64_t>(scaled, 1, 65535)));
    }
    image.DropCaches();
}

void Crop(TGIFImage& image, const TRect& rect)
{
    CheckNotEmpty(image);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width < 1 || height < 1 || rect.left < 0 || rect.top < 0 || rect.right > image.GetWidth() ||
        rect.bottom > image.GetHeight())
        throw EEditError("The rectangle " + std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                         std::to_string(width) + " x " + std::to_string(height) + " does not lie within the screen of " +
                         std::to_string(image.GetWidth()) + " x " + std::to_string(image.GetHeight()));
    Stop(image);
    for (int i = 0; i < FrameCount(image); ++i) {
        TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.IsEmpty())
            continue;
        const int left = std::max(frame.Left(), rect.left), top = std::max(frame.Top(), rect.top);
        const int right = std::min(frame.Left() + frame.Width(), rect.right);
        const int bottom = std::min(frame.Top() + frame.Height(), rect.bottom);
        if (right <= left || bottom <= top) {
            // One transparent pixel of its own colours: the frame and its delay stay,
            // the picture does not change, and nothing is restored after it.
            frame.SetBounds(0, 0, 1, 1);
            const uint8_t black[6] = {0, 0, 0, 0, 0, 0};
            frame.ColorMap().FillFromRGBTriples(black, 2);
            frame.LocalColorMapChanged();
            frame.Data()[0] = 0;
            if (!frame.GraphicControl())
                frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
            frame.GraphicControl()->SetDisposal(1);
            frame.GraphicControl()->SetStoredTransparentColorIndex(0);
            frame.GraphicControl()->SetTransparent(true);
            frame.PixelsChanged();
            continue;
        }
        const int w = right - left, h = bottom - top;
        std::vector<uint8_t> kept(static_cast<size_t>(w) * static_cast<size_t>(h));
        for (int y = 0; y < h; ++y)
            std::memcpy(kept.data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                        frame.Data() + static_cast<size_t>(top - frame.Top() + y) * static_cast<size_t>(frame.Width()) +
                            static_cast<size_t>(left - frame.Left()),
                        static_cast<size_t>(w));
        frame.SetBounds(left - rect.left, top - rect.top, w, h);
        std::memcpy(frame.Data(), kept.data(), kept.size());
        frame.PixelsChanged();
    }
    image.SetWidth(width);
    image.SetHeight(height);
    image.DropCaches();
}

void DeleteRange(TGIFImage& image, TFrameRange range)
{
    CheckRange(image, range);
    if (range.first == 0 && range.last == FrameCount(image) - 1)
        throw EEditError("Deleting every frame would leave no animation");
    std::vector<TPick> picks;
    for (int i = 0; i < FrameCount(image); ++i)
        if (i < range.first || i > range.last)
            picks.push_back({i});
    Rearrange(image, picks);
}

void KeepEvery(TGIFImage& image, int n)
{
    if (n < 1)
        throw EEditError("Keep every n-th frame needs n of 1 or more");
    if (n == 1)
        return;
    std::vector<TPick> picks;
    for (int i = 0; i < FrameCount(image); ++i) {
        const int delay = Delay(*image.Images().SubImage(i));
        if (i % n == 0 || i >= ShownCount(image))
            picks.push_back({i, delay});
        else
            picks.back().delay += delay;
    }
    Rearrange(image, picks);
}

void Dedupe(TGIFImage& image)
{
    const std::vector<bool> repeats = RepeatsPrevious(image);
    if (std::find(repeats.begin(), repeats.end(), true) == repeats.end())
        return;
    std::vector<TPick> picks;
    for (int i = 0; i < FrameCount(image); ++i) {
        const int delay = Delay(*image.Images().SubImage(i));
        if (repeats[static_cast<size_t>(i)])
            picks.back().delay += delay;
        else
            picks.push_back({i, delay});
    }
    Rearrange(image, picks);
}

void MoveFrame(TGIFImage& image, int from, int to)
{
    CheckFrame(image, from);
    CheckFrame(image, to);
    if (from == to)
        return;
    std::vector<TPick> picks = Identity(image);
    const TPick moved = picks[static_cast<size_t>(from)];
    picks.erase(picks.begin() + from);
    picks.insert(picks.begin() + to, moved);
    Rearrange(image, picks);
}

void SwapFrames(TGIFImage& image, int a, int b)
{
    CheckFrame(image, a);
    CheckFrame(image, b);
    if (a == b)
        return;
    std::vector<TPick> picks = Identity(image);
    std::swap(picks[static_cast<size_t>(a)], picks[static_cast<size_t>(b)]);
    Rearrange(image, picks);
}

void InsertFrame(TGIFImage& image, const TGraphic& picture, int position)
{
    if (position < 0 || position > FrameCount(image))
        throw EEditError("Position " + std::to_string(position + 1) + " does not exist: the animation has " +
                         std::to_string(FrameCount(image)) + " frames");
    if (picture.GetEmpty())
        throw EEditError("The picture is empty");
    if (FrameCount(image) > 0 && (picture.GetWidth() > image.GetWidth() || picture.GetHeight() > image.GetHeight()))
        throw EEditError("The picture (" + std::to_string(picture.GetWidth()) + " x " +
                         std::to_string(picture.GetHeight()) + ") is larger than the animation (" +
                         std::to_string(image.GetWidth()) + " x " + std::to_string(image.GetHeight()) + ")");
    // Reduced by the image's own settings, in an image of its own until placed.
    TGIFImage holder;
    holder.SetReductionMode(image.ReductionMode());
    holder.SetReductionBits(image.ReductionBits());
    holder.SetDitherStyle(image.DitherStyle());
    holder.SetRefinePalette(image.RefinePalette());
    TGIFSubImage& frame = *holder.Images().SubImage(holder.Add(picture));
    if (!frame.GraphicControl())
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    frame.GraphicControl()->SetDisposal(3);
    if (FrameCount(image) > 0)
        frame.GraphicControl()->SetDelay(static_cast<uint16_t>(Delay(*image.Images().SubImage(std::max(position - 1, 0)))));
    if (FrameCount(image) == 0) {
        ReplaceContents(image, holder);
        return;
    }
    std::vector<TPick> picks = Identity(image);
    picks.insert(picks.begin() + position, TPick{-1});
    Rearrange(image, picks, &frame);
}

} // namespace animora::edits
