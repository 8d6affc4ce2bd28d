#pragma once
// What all four effects share, once: the refusals (the run reaching past the
// last frame, F, C and the effect's own values), the palette step, the copy
// step, the effect's drawing step and the write-back through
// SetRenderedBitmap. An effect is a small final class that only says which
// extent its step divides and what it draws on one frame.
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
    TBitmap& target;        // frame d's picture, drawn on in place
    const TBitmap& source;  // the draw source's picture
    int dither = 0;         // the image's dither kind, for stretched copies
};

class TEffect {
public:
    explicit TEffect(const TEffectParams& params) : params_(params) {}
    virtual ~TEffect() = default;
    TEffect(const TEffect&) = delete;
    TEffect& operator=(const TEffect&) = delete;

    // Empty, or the message that refuses the run (no frame is read).
    std::string Check(const TGIFImage& image) const;
    // Check, then every affected frame; raises EEffectError on a refusal.
    void Run(TGIFImage& image, const TEffectProgress& progress);

protected:
    // Lines draws from the run's first frame and copies its last.
    virtual bool DrawsFromFirstFrame() const { return false; }
    // Refusals of the effect's own options (lines: L below 1).
    virtual std::string CheckOptions() const { return {}; }
    // The width or height that the divisor cuts into steps; 0 for no step.
    virtual int StepExtent(int width, int height) const = 0;
    // The effect's drawing step on one affected frame.
    virtual void Draw(const TEffectStep& step) = 0;

private:
    TEffectRun Resolve() const;

    const TEffectParams& params_;
};

} // namespace effects
} // namespace animora
