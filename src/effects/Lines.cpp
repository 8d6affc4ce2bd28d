// Lines: the run's first frame cut into L bands that are pulled
// back alternately toward opposite sides, over the last frame as background.
#include "effects/EffectBitmaps.h"
#include "effects/Effect.h"

namespace animora::effects {

// round(j x size / L), halves to the even neighbour, in integers.
int BandBorder(int j, int size, int lines)
{
    const int64_t numerator = int64_t{j} * size;
    const int64_t quotient = numerator / lines, twiceRemainder = 2 * (numerator % lines);
    if (twiceRemainder > lines || (twiceRemainder == lines && quotient % 2 != 0))
        return static_cast<int>(quotient + 1);
    return static_cast<int>(quotient);
}

namespace {

class TLines final : public TEffect {
public:
    explicit TLines(const TLinesParams& params) : TEffect(params), lines_(params) {}

private:
    bool Horizontal() const { return lines_.orientation == orHorizontal; }
    bool DrawsFromFirstFrame() const override { return true; }
    std::string CheckOptions() const override { return lines_.lines < 1 ? kLinesMessage : std::string(); }
    int StepExtent(int width, int height) const override { return Horizontal() ? width : height; }

    void Draw(const TEffectStep& step) override
    {
        const int w = step.width, h = step.height, m = step.extent;
        for (int j = 0; j < lines_.lines; ++j) {
            const bool even = j % 2 == 0;
            TRect band;
            if (Horizontal()) {
                const int y0 = BandBorder(j, h, lines_.lines), y1 = BandBorder(j + 1, h, lines_.lines);
                band = even ? TRect{m, y0, w, y1} : TRect{0, y0, w - m, y1};
            } else {
                const int x0 = BandBorder(j, w, lines_.lines), x1 = BandBorder(j + 1, w, lines_.lines);
                band = even ? TRect{x0, 0, x1, h - m} : TRect{x0, m, x1, h};
            }
            CopyRectangle(step.target, band, step.source, band, step.dither);
        }
    }

    const TLinesParams& lines_;
};

} // namespace

std::string CheckEffect(const TGIFImage& image, const TLinesParams& params)
{
    return TLines(params).Check(image);
}

void RunEffect(TGIFImage& image, const TLinesParams& params, const TEffectProgress& progress)
{
    TLines(params).Run(image, progress);
}

} // namespace animora::effects
