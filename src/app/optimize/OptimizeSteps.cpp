#include "app/optimize/OptimizeSteps.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "app/Project.h"
#include "color/ColorTypes.h"
#include "color/ReduceColors.h"
#include "gif/Extension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

void OptimizeFrames(TGIFImage& image)
{
    image.Optimize(ooCrop | ooColorMap | ooReduce, image.ReductionMode(), image.ReductionBits(), image.DitherStyle());
}

void ReduceFrame(TGIFImage& image, int index)
{
    TGIFSubImage& frame = *image.Images().SubImage(index);
    const TBitmap* rendered = frame.RenderedBitmap();
    if (!rendered)
        return;
    // The reduction converts its source in place: it works on a copy, not on
    // the frame's own rendering.
    TBitmap source(*rendered);
    std::unique_ptr<TBitmap> reduced =
        ReduceBitmapColors(source, static_cast<ColorReductionMode>(image.ReductionMode()),
                           static_cast<DitherKind>(image.DitherStyle()), nullptr, image.ReductionBits(),
                           image.RefinePalette());
    if (!reduced || reduced->Empty())
        return;

    // A new picture replaces the frame's blocks; its delay, disposal and
    // user input, and its comments and application blocks, are not the
    // picture's and stay. (Its transparency belonged to the old colours.)
    std::optional<std::array<int, 3>> timing;
    std::vector<std::unique_ptr<TGIFExtension>> others;
    for (int i = 0; i < frame.Extensions().Count(); ++i) {
        TGIFExtension& extension = *frame.Extensions().Extension(i);
        if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(&extension)) {
            if (!timing)
                timing = std::array<int, 3>{control->Delay(), control->Disposal(), control->UserInput() ? 1 : 0};
        } else {
            others.push_back(CloneExtension(extension, frame));
        }
    }
    frame.SetRenderedBitmap(reduced.get());
    if (timing) {
        auto made = std::make_unique<TGIFGraphicControlExtension>(frame);
        TGIFGraphicControlExtension& control = frame.GraphicControl() ? *frame.GraphicControl() : *made;
        control.SetDelay(uint16_t((*timing)[0]));
        control.SetDisposal((*timing)[1]);
        control.SetUserInput((*timing)[2] != 0);
        if (&control == made.get())
            frame.Extensions().Append(std::move(made));
    }
    for (auto& extension : others)
        frame.Extensions().Append(std::move(extension));
}

void RunOptimize(ProjectEdit& edit, const OptimizeChoice& choice, int currentFrame)
{
    TGIFImage& image = edit.Image();
    image.SetReductionMode(choice.reductionMode);
    image.SetEncoding(choice.lzw ? kEncodingLZW : kEncodingRLE);
    image.SetReductionBits(choice.reductionBits);
    image.SetRefinePalette(choice.refinePalette);
    if (choice.maxCompress) {
        const bool lone = image.Images().Count() == 1 && image.Header().ColorMap().Count() == 0;
        image.Compact();
        if (lone)
            edit.GlobalColorMapChanged();
    }
    if (choice.allFrames) {
        std::vector<const TGIFSubImage*> before;
        for (int i = 0; i < image.Images().Count(); ++i)
            before.push_back(image.Images().SubImage(i));
        OptimizeFrames(image);
        // Frames that became empty are gone; each is announced at the place
        // it had once those before it were removed.
        int removed = 0;
        for (int i = 0; i < int(before.size()); ++i) {
            bool kept = false;
            for (int j = 0; j < image.Images().Count() && !kept; ++j)
                kept = image.Images().SubImage(j) == before[std::size_t(i)];
            if (!kept)
                edit.FramesRemoved(i - removed++);
        }
        for (int i = 0; i < image.Images().Count(); ++i)
            edit.FramePictureChanged(i);
        edit.GlobalColorMapChanged();
        return;
    }
    if (currentFrame < 0 || currentFrame >= image.Images().Count())
        return;
    // "None" keeps the colours as they are.
    if (choice.reductionMode == crNone)
        return;
    ReduceFrame(image, currentFrame);
    edit.FramePictureChanged(currentFrame);
}

} // namespace animora
