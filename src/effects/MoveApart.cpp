// Move apart: the last frame seen through a window centred on the
// picture, opening from the centre line (increase) or closing toward it
// (diminish); scaled, the whole last frame is compressed into the window.
#include "effects/EffectBitmaps.h"
#include "effects/Effect.h"

namespace animora::effects {

namespace {

class TMoveApart final : public TEffect {
public:
    explicit TMoveApart(const TMoveApartParams& params) : TEffect(params), move_(params) {}

private:
    int StepExtent(int width, int height) const override
    {
        return move_.orientation == orVertical ? height : width;
    }

    // Halvings drop the remainder: with increase the margin right of (or
    // below) the window is the wider one.
    TRect Window(int w, int h, int n) const
    {
        const bool vertical = move_.orientation == orVertical;
        if (move_.kind == mkIncrease) {
            const int a = ((vertical ? h : w) - n) / 2;
            return vertical ? TRect{0, a, w, a + n} : TRect{a, 0, a + n, h};
        }
        const int a = n / 2;
        return vertical ? TRect{0, a, w, h - a} : TRect{a, 0, w - a, h};
    }

    void Draw(const TEffectStep& step) override
    {
        const TRect window = Window(step.width, step.height, step.extent);
        const TRect source = move_.scale ? TRect{0, 0, step.width, step.height} : window;
        CopyRectangle(step.target, window, step.source, source, step.dither);
    }

    const TMoveApartParams& move_;
};

} // namespace

std::string CheckEffect(const TGIFImage& image, const TMoveApartParams& params)
{
    return TMoveApart(params).Check(image);
}

void RunEffect(TGIFImage& image, const TMoveApartParams& params, const TEffectProgress& progress)
{
    TMoveApart(params).Run(image, progress);
}

} // namespace animora::effects
