#include "effects/Effect.h"

#include <cstdint>

#include "effects/EffectBitmaps.h"
#include "effects/PixelCopier.h"
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
    // The run's last frame, F + C - 2, must exist.
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
    const auto pictureOf = [&](int index) -> const TBitmap& {
        const TBitmap* bitmap = frames.SubImage(index)->RenderedBitmap();
        return bitmap ? *bitmap : none;
    };

    const TBitmap& reference = pictureOf(run.drawSource);
    const int width = reference.Width(), height = reference.Height();
    const int step = StepExtent(width, height) / run.divisor;

    for (int d = run.first; d < run.last; ++d) {
        if (progress)
            progress(d);
        TGIFSubImage& frame = *frames.SubImage(d);
        TBitmap blank;
        TBitmap* target = frame.RenderedBitmap();
        if (!target)
            target = &blank;
        // The palette step. Putting the frame's picture into the last frame's
        // colours (rather than reading its indices through them) keeps the
        // frame looking as it did when the two palettes differ.
        TBitmap recoloured;
        const TPalette& lastPalette = pictureOf(run.last).Palette();
        if (params_.useLastFramePalette && !target->Empty() && !lastPalette.Empty() &&
            !(target->GetPixelFormat() == PixelFormat::pf8bit && SameColors(target->Palette(), lastPalette))) {
            recoloured = InPalette(*target, lastPalette);
            target = &recoloured;
        }
        // The copy step (lines leaves the run's first frame alone).
        const bool copyHere = !DrawsFromFirstFrame() || d != run.first;
        if (params_.copyFrame && copyHere && run.copySource != d)
            DrawBitmap(*target, pictureOf(run.copySource));
        const int k = d - run.first;
        Draw({d, k, k * step, width, height, *target, pictureOf(run.drawSource), image.DitherStyle()});
        // The write-back: pixels and colour map from the picture, extensions cleared.
        frame.SetRenderedBitmap(target);
    }
}

} // namespace animora::effects
