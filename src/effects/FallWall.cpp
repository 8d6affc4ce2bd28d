// Fall wall: the last frame enters as a wall from one side, one
// step further in each frame, uncovered in place, sliding in, or squeezed
// into the growing band.
#include "effects/EffectBitmaps.h"
#include "effects/Effect.h"

namespace animora::effects {

namespace {

class TFallWall final : public TEffect {
public:
    explicit TFallWall(const TFallWallParams& params) : TEffect(params), wall_(params) {}

private:
    bool Vertical() const { return wall_.direction == fdUpToDown || wall_.direction == fdDownToUp; }

    int StepExtent(int width, int height) const override { return Vertical() ? height : width; }

    void Draw(const TEffectStep& step) override
    {
        const int w = step.width, h = step.height, n = step.extent;
        // The band the wall covers in frame d, and the far edge of the last frame.
        TRect band, farEdge;
        switch (wall_.direction) {
        case fdUpToDown: band = {0, 0, w, n}, farEdge = {0, h - n, w, h}; break;
        case fdDownToUp: band = {0, h - n, w, h}, farEdge = {0, 0, w, n}; break;
        case fdLeftToRight: band = {0, 0, n, h}, farEdge = {w - n, 0, w, h}; break;
        case fdRightToLeft: band = {w - n, 0, w, h}, farEdge = {0, 0, n, h}; break;
        }
        const TRect source = wall_.mode == fmUnfold ? band : wall_.mode == fmSlide ? farEdge : TRect{0, 0, w, h};
        CopyRectangle(step.target, band, step.source, source, step.dither);
    }

    const TFallWallParams& wall_;
};

} // namespace

std::string CheckEffect(const TGIFImage& image, const TFallWallParams& params)
{
    return TFallWall(params).Check(image);
}

void RunEffect(TGIFImage& image, const TFallWallParams& params, const TEffectProgress& progress)
{
    TFallWall(params).Run(image, progress);
}

} // namespace animora::effects
