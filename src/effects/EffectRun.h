#pragma once
// The shared procedure of Part 4.1, once for all four effects: the range rule
// and the other refusals, the palette step, the copy step, the drawing step
// of the effect, and the write-back through SetRenderedBitmap. An effect is
// a small class that only says how big its step is and what it draws.
#include <string>

#include "effects/Effects.h"
#include "platform/Bitmap.h"

namespace animora {

class TGIFImage;

namespace effects {

// The run, resolved against the image: 0-based indices and the divisor.
struct TEffectRun {
    int first = 0;       // F - 1
    int last = 0;        // F + C - 2: the target picture, never changed
    int drawSource = 0;  // the frame the drawing step copies from
    int copySource = 0;  // the frame the copy step draws
    int divisor = 1;     // C - 1, or the wizard's
};

// One affected frame as the drawing step sees it.
struct TEffectStep {
    int frame = 0;   // d, the frame's index
    int k = 0;       // step number, d - first
    int extent = 0;  // k x s: the wall's extent, the window's, the lines' shift
    int width = 0;   // W and H of the reference frame (the draw source)
    int height = 0;
    TBitmap& target;        // frame d's bitmap, drawn on in place
    const TBitmap& source;  // the draw source's bitmap
    int dither = 0;         // the image's dither kind, for stretched copies
};

class TEffect {
public:
    explicit TEffect(const TEffectParams& params) : params_(params) {}
    virtual ~TEffect() = default;
    TEffect(const TEffect&) = delete;
    TEffect& operator=(const TEffect&) = delete;

    // Empty, or the message that refuses the run (nothing is read).
    std::string Check(const TGIFImage& image) const;
    // Check, then the procedure; raises EEffectError on a refusal.
    void Run(TGIFImage& image, const TEffectProgress& progress);

protected:
    // Lines draws from the run's first frame and copies its last.
    virtual bool DrawsFromFirstFrame() const { return false; }
    // Refusals of the effect's own options (lines: L below 1).
    virtual std::string CheckOptions() const { return {}; }
    // The width or height that the divisor cuts into steps; 0 for no step.
    virtual int StepExtent(int width, int height) const = 0;
    // Once per run, before the first frame.
    virtual void Begin(int /*width*/, int /*height*/) {}
    // The effect's drawing step on one affected frame.
    virtual void Draw(const TEffectStep& step) = 0;

    const TEffectParams& params_;

private:
    TEffectRun Resolve() const;
};

} // namespace effects
} // namespace animora
