#pragma once
// The GIF wizard's builder: a new animation made from a
// background picture or a plain size, N frames, a delay and looping, one line
// of text and an optional transition that brings the text in or takes it
// away. No widgets: the editor's wizard window (src/app/wizard) fills the
// choices from its pages and opens the result as the project; `animora-cli
// wizard` fills them from its options and saves the result. The same choices
// give the same GIF in both.
//
// How the editor finishes the wizard (NextButtonClick on the last page):
//   1. Fill TWizardChoices from the pages; `CheckChoices` answers the
//      refusal ("Background file not found.", "One of parameter = 0.", or
//      too few frames for the effect) or nothing. A refusal is shown with
//      the caption "Error!" and the wizard stays open, its buttons and
//      cursor restored.
//   2. `TWizardBuilder builder(choices)` loads the background picture (a
//      picture that cannot be read raises here), still before the open
//      document is touched.
//   3. "Save changes?" for an open project, then project.Close() and
//      project.Open("Zelqo Animora Pro: New Gif", builder) - the builder is
//      the fill: it composes every frame into the fresh document image.
//
// The header names no Qt type: text is drawn through QtGui inside the
// library (qtbridge), started headless where no application runs.
#include <cstdint>
#include <string>

#include "effects/Effects.h"
#include "platform/Bitmap.h"
#include "platform/Palette.h"

namespace animora {

class TGIFImage;
class TPicture;

namespace wizard {

// The refusals of the finishing steps.
extern const char* const kBackgroundNotFound;  // "Background file not found."
extern const char* const kParameterZero;       // "One of parameter = 0."
extern const char* const kTooFewFrames;        // N below 2, or below 3 with Full round

// The effect page's radio buttons: NoneRB, FallWallRB, RainRB, MoveApartRB, LinesRB.
enum TWizardEffect : uint8_t { weNone = 0, weFallWall = 1, weRain = 2, weMoveApart = 3, weLines = 4 };

// The text font. Sizes are points at 96 dots per inch, whatever screen the
// editor runs on, so the editor and the command line draw the same pixels.
struct TWizardFont {
    std::string family = "DejaVu Sans";
    int pointSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct TWizardChoices {
    // Page 1. An empty path: no background, frames of width x height.
    std::string background;
    bool useBackgroundSize = true;  // UseBackParam: the background's own size
    int width = 150;                // EditWidth, EditHeight (0 stands for text that is no number)
    int height = 100;
    int delayMs = 100;              // EditN1, milliseconds
    bool loop = false;              // LoopCheckBox: endless Netscape loop
    int frameCount = 10;            // EditCount, N

    // Page 2. Drawn with a transparent background, the text's top-left corner at (left, top).
    std::string text;               // UTF-8
    TWizardFont font;
    TColor color = 0x000000;        // black
    int left = 2;
    int top = 2;

    // Pages 3 and 4. The shared fields of each effect's struct (palette, copy)
    // and its own options are read; the run (firstFrame, frameCount,
    // stepDivisor) is the builder's.
    TWizardEffect effect = weNone;
    effects::TFallWallParams fallWall;
    bool fullRound = false;         // FullRound: a second run from the opposite side
    effects::TRainParams rain;      // seed: ClockSeed() in the editor, --seed on the command line
    effects::TMoveApartParams moveApart;
    effects::TLinesParams lines;    // lines: EditLines; copyFrame: "Copy last frame to all"

    TWizardChoices() { lines.frameCount = 0; }
};

// The smallest N the effect can run over: 3 for fall wall with Full round, else 2.
int MinimumFrames(const TWizardChoices& choices);

// Empty when the wizard can build from the choices; else the refusal, in the
// order of the finishing steps: a background path that names no file, N, W
// or H of 0 or below (W and H are the background's own with "Use
// background params"; the picture is read for its size), then N below
// MinimumFrames, L below 1 for lines, more pixels than a project may hold.
// A background that cannot be read raises.
std::string CheckChoices(const TWizardChoices& choices);

// The opposite of a fall-wall direction (Up to Down <-> Down to Up, Left to
// Right <-> Right to Left): the second run of Full round.
effects::TFallDirection OppositeDirection(effects::TFallDirection direction);

// The text preview of page 2: the background picture when the path names a
// file, else a blank picture of width x height; resized (cut or extended
// from the top-left, white where it grows) to width x height when "Use
// background params" is off; the text drawn on it when `withText`. 24 bits.
TBitmap TextPreview(const TWizardChoices& choices, bool withText);

// Draws the choices' text on a copy of `picture` (24 bits), as it is drawn
// on the frames.
TBitmap DrawText(const TBitmap& picture, const TWizardChoices& choices);

// Builds the animation. The constructor reads the background picture when
// the path names a file, so a picture that cannot be read fails before
// anything else changes; it does not refuse the choices (Check does, and
// Fill raises EWizardError with the same text).
class TWizardBuilder {
public:
    explicit TWizardBuilder(const TWizardChoices& choices);
    ~TWizardBuilder();
    TWizardBuilder(const TWizardBuilder&) = delete;
    TWizardBuilder& operator=(const TWizardBuilder&) = delete;

    // Empty when Fill can build; else the refusal (see CheckChoices).
    std::string Check() const;

    // The frame size W x H.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Composes the whole animation into an empty image: reduction mode crOptimizedWindows, N
    // blank (white) frames of W x H, the background on each, the text on the
    // frames the effect names, the effect's runs, then the delay on every
    // frame and the endless loop on frame 0.
    void Fill(TGIFImage& image) const;
    void operator()(TGIFImage& image) const { Fill(image); }

    // The direction FallCB holds after Fill: turned with Full round.
    effects::TFallDirection FinalDirection() const;

private:
    TBitmap Background() const;  // a frame's picture before the text
    void Text(TGIFImage& image, int frame) const;

    TWizardChoices choices_;
    TBitmap background_;  // 24 bits; empty without a background file
    bool hasBackground_ = false;
    int width_ = 0;
    int height_ = 0;
};

// The choices checked and built into `image` (which is cleared first): what
// animora-cli wizard saves.
void Build(const TWizardChoices& choices, TGIFImage& image);

// A refusal of CheckChoices raised by Fill or Build.
class EWizardError : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
};

// The delay in hundredths of a second for a delay in milliseconds: ms / 10
// rounded, halves to even (105 -> 10, 115 -> 12), kept within 0..65535.
int DelayHundredths(int milliseconds);

} // namespace wizard
} // namespace animora
