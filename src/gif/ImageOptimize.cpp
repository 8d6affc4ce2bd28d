// Optimisation of a whole image: the steps of Optimize in their order,
// Compact, and the entry to the colour-map optimiser.
#include <algorithm>

#include "gif/AnimationOptimizer.h"
#include "gif/AppExtension.h"
#include "gif/ColorMapOptimizer.h"
#include "gif/GIFCodec.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"

namespace animora {

namespace {

const char* const kOptimizing = "Optimizing...";
constexpr uint8_t kReductionModeInvalidAlone = 9;

// Stops every painter of the image, and waits for them, before frames and
// maps change. The painter list's lock is not held for the whole operation:
// the cache drops that every change calls take that (non-recursive) lock
// themselves. Painters are started only from the GUI thread, which is busy
// here, so none can start meanwhile.
class TPainterHold {
public:
    explicit TPainterHold(TGIFImage& image)
    {
        image.StopAllPainters();
        image.StopAnimation();
    }
};

// Progress of Optimize: six steps per frame of the image as it was at the
// start; a skipped step counts as done at once.
class TOptimizeProgress {
public:
    explicit TOptimizeProgress(TGIFImage& image) : image_(image), frames_(image.Images().Count()) {}

    void FrameDone() { Advance(1); }
    void Skipped(int passes) { Advance(passes * frames_); }

private:
    void Advance(int steps)
    {
        steps_ += steps;
        const int total = std::max(6 * frames_, 1);
        image_.NotifyProgress(TProgressStage::psRunning, std::min(steps_ * 100 / total, 100), false, kOptimizing);
    }

    TGIFImage& image_;
    int frames_;
    int steps_ = 0;
};

int DisposalOf(const TGIFSubImage& frame)
{
    return frame.GraphicControl() ? frame.GraphicControl()->Disposal() : 0;
}

bool Restores(const TGIFSubImage& frame)
{
    const int disposal = DisposalOf(frame);
    return disposal == dmBackground || disposal == dmPrevious;
}

bool Contains(const TRect& outer, const TRect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool ShowsTransparentIndex(const TGIFSubImage& frame)
{
    const uint8_t t = frame.GraphicControl()->TransparentColorIndex();
    const uint8_t* pixels = frame.Data();
    return std::find(pixels, pixels + frame.DataSize(), t) != pixels + frame.DataSize();
}

// --- the steps ----------------------------------------------------------------------

void OptimizeEveryMap(TGIFImage& image, TOptimizeProgress& progress)
{
    if (image.Header().ColorMap().Count() > 0)
        image.Header().ColorMap().OptimizeEntries();
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFColorMap& map = image.Images().SubImage(i)->ColorMap();
        if (map.Count() > 0)
            map.OptimizeEntries();
        progress.FrameDone();
    }
}

void DropUnusedTransparency(TGIFImage& image, TOptimizeProgress& progress)
{
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.Transparent() && frame.GraphicControl() && !ShowsTransparentIndex(frame))
            frame.GraphicControl()->SetTransparent(false);
        progress.FrameDone();
    }
}

// A frame that restores its area after display needs not do so when the
// next frame paints over all of that area with opaque pixels and keeps
// itself (restoring to the previous picture would bring the area back).
void DropNeedlessDisposal(TGIFImage& image, TOptimizeProgress& progress)
{
    TGIFImageList& frames = image.Images();
    for (int i = 0; i + 1 < frames.Count(); ++i) {
        TGIFSubImage& frame = *frames.SubImage(i);
        const TGIFSubImage& next = *frames.SubImage(i + 1);
        if (Restores(frame) && !next.Transparent() && !next.IsEmpty() && DisposalOf(next) != dmPrevious &&
            Contains(next.BoundsRect(), frame.BoundsRect()))
            frame.GraphicControl()->SetDisposal(0);
        progress.FrameDone();
    }
    progress.FrameDone();
}

void MergeFrames(TGIFImage& image, TOptimizeProgress& progress)
{
    TGIFImageList& frames = image.Images();
    for (int c = frames.Count() - 1; c >= 1; --c) {
        int below = c - 1;
        while (below > 0 && DisposalOf(*frames.SubImage(below)) == dmPrevious)
            --below;
        frames.SubImage(c)->MergeWithPrevious(*frames.SubImage(below));
        progress.FrameDone();
    }
    progress.FrameDone();
}

void AddDelay(TGIFSubImage& frame, int delay)
{
    if (delay == 0)
        return;
    if (!frame.GraphicControl())
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    TGIFGraphicControlExtension& control = *frame.GraphicControl();
    control.SetDelay(static_cast<uint16_t>(std::min(control.Delay() + delay, 0xFFFF)));
}

bool WhollyTransparent(const TGIFSubImage& frame)
{
    const uint8_t t = frame.GraphicControl()->TransparentColorIndex();
    const uint8_t* pixels = frame.Data();
    return std::all_of(pixels, pixels + frame.DataSize(), [t](uint8_t p) { return p == t; });
}

// A wholly transparent frame can go only when the picture before it stays
// on screen through it: the frame before must keep what it showed.
void CropFrame(TGIFImageList& frames, int c)
{
    TGIFSubImage& frame = *frames.SubImage(c);
    if (WhollyTransparent(frame) && (c == 0 || Restores(*frames.SubImage(c - 1)))) {
        const uint8_t t = frame.GraphicControl()->TransparentColorIndex();
        frame.SetBounds(frame.Left(), frame.Top(), 1, 1);
        frame.Data()[0] = t;
        frame.PixelsChanged();
        return;
    }
    const int delay = frame.GraphicControl()->Delay();
    frame.CropTransparentBorders();
    if (!frame.IsEmpty())
        return;
    if (c > 0)
        AddDelay(*frames.SubImage(c - 1), delay);
    frames.DeleteAt(c);
}

// Cropping a frame that restores the background afterwards would shrink the
// area restored, so such frames keep their size.
void CropFrames(TGIFImage& image, TOptimizeProgress& progress)
{
    TGIFImageList& frames = image.Images();
    for (int c = frames.Count() - 1; c >= 0; --c) {
        const TGIFSubImage& frame = *frames.SubImage(c);
        if (!frame.IsEmpty() && frame.Transparent() && frame.GraphicControl() && DisposalOf(frame) != dmBackground)
            CropFrame(frames, c);
        progress.FrameDone();
    }
}

bool NeedlessExtension(const TGIFExtension& extension, int frameIndex, int frameCount)
{
    if (dynamic_cast<const TGIFCommentExtension*>(&extension) || dynamic_cast<const TGIFTextExtension*>(&extension) ||
        dynamic_cast<const TGIFUnknownAppExtension*>(&extension))
        return true;
    if (dynamic_cast<const TGIFAppExtNSLoop*>(&extension))
        return frameIndex != 0 || frameCount <= 1;
    return false;
}

bool NeedlessGraphicControl(const TGIFSubImage& frame, int frameCount)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    const bool single = frameCount == 1;
    return control && (control->Delay() == 0 || single) && !frame.Transparent() && !control->UserInput() &&
           (control->Disposal() < dmBackground || single);
}

void CleanUpFrame(TGIFImageList& frames, int n)
{
    TGIFSubImage& frame = *frames.SubImage(n);
    TGIFExtensionList& extensions = frame.Extensions();
    for (int e = extensions.Count() - 1; e >= 0; --e)
        if (NeedlessExtension(*extensions.Extension(e), n, frames.Count()))
            extensions.DeleteAt(e);
    if (NeedlessGraphicControl(frame, frames.Count()))
        extensions.DeleteAt(extensions.IndexOf(frame.GraphicControl()));
    if (frame.IsEmpty() && extensions.Count() == 0)
        frames.DeleteAt(n);
}

void CleanUpFrames(TGIFImage& image, TOptimizeProgress& progress)
{
    TGIFImageList& frames = image.Images();
    for (int n = frames.Count() - 1; n >= 0; --n) {
        CleanUpFrame(frames, n);
        progress.FrameDone();
    }
}

void RunOptimizeSteps(TGIFImage& image, uint8_t options, uint8_t reductionMode, TOptimizeProgress& progress)
{
    if (options & ooColorMap)
        OptimizeEveryMap(image, progress);
    else
        progress.Skipped(1);
    if (options & ooCleanup) {
        DropUnusedTransparency(image, progress);
        DropNeedlessDisposal(image, progress);
    } else {
        progress.Skipped(2);
    }
    // The rebuilt frames are kept only when smaller; when they are not, the
    // frames as they are beat the merge too, which only adds transparency.
    const bool delta = (options & ooDelta) && TAnimationOptimizer::Models(image);
    if (options & ooDelta)
        image.SetTightCodeSize(true);
    if (delta) {
        TAnimationOptimizer(image).Run([&progress] { progress.FrameDone(); });
        progress.FrameDone();
    } else if (options & ooMerge)
        MergeFrames(image, progress);
    else
        progress.Skipped(1);
    if (options & ooCrop)
        CropFrames(image, progress);
    else
        progress.Skipped(1);
    if (options & ooCleanup)
        CleanUpFrames(image, progress);
    else if ((options & ooReduce) && reductionMode == kReductionModeInvalidAlone)
        RaiseGIFError("Invalid reduction method");
}

} // namespace

void TGIFImage::Optimize(uint8_t options, uint8_t reductionMode, int /*reductionBits*/, uint8_t /*ditherKind*/)
{
    if (images_.Count() == 0)
        return;
    TPainterHold hold(*this);
    NotifyProgress(TProgressStage::psStarting, 0, false, kOptimizing);
    TOptimizeProgress progress(*this);
    try {
        RunOptimizeSteps(*this, options, reductionMode, progress);
    } catch (...) {
        DropCaches();
        NotifyProgress(TProgressStage::psEnding, 0, true, kOptimizing);
        throw;
    }
    DropCaches();
    NotifyProgress(TProgressStage::psEnding, 100, true, kOptimizing);
}

void TGIFImage::OptimizeColorMaps()
{
    TPainterHold hold(*this);
    TColorMapOptimizer(*this).Optimize();
}

void TGIFImage::WriteData(TStream& stream)
{
    if (GIFCodecSettings().OptimizeOnStreamWrite)
        Optimize(ooAll, 0, 8, 0);
    SaveToStream(stream);
}

void TGIFImage::Compact()
{
    DropCaches();
    SetPalette(nullptr);
    for (int i = 0; i < images_.Count(); ++i) {
        TGIFSubImage& frame = *images_.SubImage(i);
        frame.PixelsChanged();
        frame.SetFramePalette(nullptr);
    }
    if (header_.ColorMap().Count() == 0 && images_.Count() == 1) {
        TGIFSubImage& frame = *images_.SubImage(0);
        header_.ColorMap().Assign(frame.ColorMap());
        frame.ColorMap().Reset();
        frame.LocalColorMapChanged();
    }
}

} // namespace animora
