#include "effects/EffectRun.h"

#include <cstdint>
#include <memory>

#include "effects/EffectBitmaps.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"

namespace animora::effects {

const char* const kRangeMessage =
    "Count of frames out of range. \"First frame\"+\"Count of frame\" must be smaller count of GIF frames";
const char* const kFirstFrameMessage = "First frame must be 1 or more.";
const char* const kCountMessage = "Count of frame must be 2 or more.";
const char* const kLinesMessage = "Count of lines must be 1 or more.";
const char* const kStepDivisorMessage = "The step divisor must be 1 or more.";
const char* const kSourceFrameMessage = "A source frame of the effect is not a frame of the GIF.";

std::string TEffect::Check(const TGIFImage& image) const
{
    if (params_.firstFrame < 1)
        return kFirstFrameMessage;
    if (params_.frameCount < 2)
        return kCountMessage;
    if (std::string problem = CheckOptions(); !problem.empty())
        return problem;
    if (params_.stepDivisor < 0)
        return kStepDivisorMessage;
    // The range rule of Part 4.1: last = F + C - 2 must be a frame.
    const int64_t last = int64_t{params_.firstFrame} + params_.frameCount - 2;
    const int count = image.Images().Count();
    if (last > count - 1)
        return kRangeMessage;
    const auto outside = [&](int source) { return source < -1 || source >= count; };
    if (outside(params_.drawSource) || outside(params_.copySource))
        return kSourceFrameMessage;
    return {};
}

TEffectRun TEffect::Resolve() const
{
    TEffectRun run;
    run.first = params_.firstFrame - 1;
    run.last = params_.firstFrame + params_.frameCount - 2;
    const bool lines = DrawsFromFirstFrame();
    run.drawSource = params_.drawSource >= 0 ? params_.drawSource : lines ? run.first : run.last;
    run.copySource = params_.copySource >= 0 ? params_.copySource : lines ? run.last : run.first;
    run.divisor = params_.stepDivisor > 0 ? params_.stepDivisor : params_.frameCount - 1;
    return run;
}

void TEffect::Run(TGIFImage& image, const TEffectProgress& progress)
{
    if (const std::string problem = Check(image); !problem.empty())
        throw EEffectError(problem);
    image.StopAnimation();
    const TEffectRun run = Resolve();
    const TGIFImageList& frames = image.Images();
    const TBitmap none;
    const auto bitmapOf = [&](int index) -> const TBitmap& {
        const TBitmap* bitmap = frames.SubImage(index)->RenderedBitmap();
        return bitmap ? *bitmap : none;
    };

    const TBitmap& reference = bitmapOf(run.drawSource);
    const int width = reference.Width(), height = reference.Height();
    const int step = StepExtent(width, height) / run.divisor;
    Begin(width, height);

    for (int d = run.first; d < run.last; ++d) {
        if (progress)
            progress(d);
        TGIFSubImage& frame = *frames.SubImage(d);
        // 5.1 The palette step: frame d shows its pixels with the last frame's colours.
        if (params_.useLastFramePalette)
            if (const TPalette* palette = frames.SubImage(run.last)->FramePalette())
                frame.SetFramePalette(std::make_unique<TPalette>(*palette));
        TBitmap emptyFrame;
        TBitmap* target = frame.RenderedBitmap();
        if (!target)
            target = &emptyFrame;
        // 5.2 The copy step (lines leaves the run's first frame alone).
        const bool copyHere = !DrawsFromFirstFrame() || d != run.first;
        if (params_.copyFrame && copyHere && run.copySource != d)
            DrawBitmap(*target, bitmapOf(run.copySource));
        // 5.3 The effect's drawing step.
        const int k = d - run.first;
        Draw({d, k, k * step, width, height, *target, bitmapOf(run.drawSource), image.DitherStyle()});
        // 5.4 The write-back: pixels and colour map from the bitmap, extensions cleared.
        frame.SetRenderedBitmap(target);
    }
}

} // namespace animora::effects
