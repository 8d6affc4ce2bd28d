#pragma once
// The four transition effects of the Effect menu: fall wall, rain, move
// apart and lines. Each turns a run of frames of a GIF into a transition from
// the run's first frame to its last: the frames of the run but the last are
// redrawn in place, in ascending order, and written back into the image
// through SetRenderedBitmap, which replaces their pixels and colour maps and
// clears their extensions (delay, disposal, transparency). No frame is added
// or removed; the run's last frame never changes.
//
// Each effect's options are a plain struct that a dialog fills from its
// controls (the defaults below are the dialogs' defaults) and a command hands
// to RunEffect. The structs have no Qt in them and no behaviour.
//
// How the editor calls an effect (Fallwall1Click, Rain1Click,
// Moveapart1Click, Lines1Click):
//   1. Show the effect's dialog (kept for the run, so it shows the values of
//      its last use); anything but OK ends the command.
//   2. Fill the struct: FirstFrame -> firstFrame, CountFrame -> frameCount,
//      UsePaslette -> useLastFramePalette, CopyFrame -> copyFrame, and the
//      effect's own controls (fall wall: FallCB's item index -> direction,
//      FallModeFromChecks(Unfold, ScaleCB) -> mode; rain: seed = ClockSeed();
//      move apart: Horizontal/Vertical, IncreaseButton/DiminishButton, Scale;
//      lines: EditCount -> lines, Horiz/Vert).
//   3. CheckEffect(document, params): a non-empty answer is the text of a
//      message box with the caption "Error!", an information icon and an OK
//      button; the command ends and nothing has changed. (RunEffect makes the
//      same check and raises EEffectError with the same text.)
//   4. Through the project's edit gateway (painters stopped), RunEffect on the
//      document image. Rain passes a progress callback that writes
//      "Build image:" + d into status panel 0 and repaints it at once; the
//      editor shows the working-in-background cursor around the call and
//      writes "Ready" afterwards, also when the call raises. A failure inside
//      a frame (rendering, conversion) leaves the frames already written back
//      changed and passes on to the application's handler.
//   5. Replace the preview copy by a copy of the document image and show its
//      current frame. There is no undo step.
//
// The effects draw on the document image's own frame bitmaps and write each
// back into the same frame. The write-back keeps the drawn 8-bit bitmap as
// the frame's rendering, so a later frame that copies the run's first frame
// sees it as step k = 0 left it. The editor's preview copy is only refreshed
// afterwards; no second image is needed during the command.
//
// The GIF wizard runs the same effects on its new document image with its
// own step divisor (stepDivisor) and, where it needs them, its own source
// frames (drawSource, copySource); its runs are calls, not copies:
//   fall wall: firstFrame 1, frameCount B, stepDivisor B (N, or N div 2
//   with Full round); the second run of Full round: firstFrame B + 1,
//   frameCount N - B, the opposite direction (the default divisor C - 1 is
//   then N - B - 1); rain: firstFrame 1, frameCount N; move apart and lines:
//   firstFrame 1, frameCount N, stepDivisor N.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Errors.h"

namespace animora {

class TGIFImage;

namespace effects {

// A value that lets no effect run (range or parameter); nothing has changed.
// The editor shows the text with the caption "Error!".
class EEffectError : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
};

// The texts of the refusals; the range message is the editor's own.
extern const char* const kRangeMessage;
extern const char* const kFirstFrameMessage;    // F below 1
extern const char* const kCountMessage;         // C below 2
extern const char* const kLinesMessage;         // L below 1
extern const char* const kStepDivisorMessage;   // a wizard divisor below 1
extern const char* const kSourceFrameMessage;   // a source frame that does not exist

// What every effect's dialog holds, and the wizard's variants.
struct TEffectParams {
    int firstFrame = 1;               // F, FirstFrame: 1-based number of the run's first frame
    int frameCount = 3;               // C, CountFrame: frames in the run, first and last included
    // UsePaslette "Use last frame palette": each affected frame is first put into
    // the last frame's palette (its picture kept, each colour by its nearest
    // entry), so pixels taken from the last frame keep their exact colours.
    bool useLastFramePalette = true;
    bool copyFrame = false;           // CopyFrame "Copy first frame to all effected frame"

    // The GIF wizard's variants; the defaults are the Effect menu's.
    int stepDivisor = 0;  // the step is the extent div this; 0: C - 1
    int drawSource = -1;  // 0-based frame the effect draws from, whose size drives the
                          // geometry; -1: the run's last frame (lines: the run's first)
    int copySource = -1;  // 0-based frame the copy step draws; -1: the run's first
                          // frame (lines: the run's last)
};

// Called at the start of each affected frame with its 0-based index, before
// anything is drawn on it (rain's "Build image:" status text).
using TEffectProgress = std::function<void(int frameIndex)>;

// --- fall wall ---------------------------------------------------------------------

// FallCB's items in order: "Up to Down", "Down to  Up", "Left to Right",
// "Right to Left".
enum TFallDirection : uint8_t { fdUpToDown = 0, fdDownToUp = 1, fdLeftToRight = 2, fdRightToLeft = 3 };
// Unfold uncovers the last frame in place, slide moves it in, squeeze
// compresses the whole last frame into the growing band.
enum TFallMode : uint8_t { fmSlide = 0, fmUnfold = 1, fmSqueeze = 2 };

// The mode the dialog's two check boxes select: squeeze when ScaleCB is
// checked, whatever Unfold holds; else unfold or slide.
constexpr TFallMode FallModeFromChecks(bool unfold, bool scale)
{
    return scale ? fmSqueeze : unfold ? fmUnfold : fmSlide;
}

struct TFallWallParams : TEffectParams {
    TFallDirection direction = fdUpToDown;
    TFallMode mode = fmSlide;  // Unfold and ScaleCB both unchecked
};

// --- rain --------------------------------------------------------------------------

struct TRainParams : TEffectParams {
    uint64_t seed = 0;  // the random source: ClockSeed() in the editor, fixed elsewhere
};

// A seed from the clock, different for each command.
uint64_t ClockSeed();

// --- move apart ----------------------------------------------------------------------

enum TOrientation : uint8_t { orHorizontal = 0, orVertical = 1 };
// Increase opens the window from the centre line outward; diminish closes it.
enum TMoveApartKind : uint8_t { mkIncrease = 0, mkDiminish = 1 };

struct TMoveApartParams : TEffectParams {
    TOrientation orientation = orHorizontal;  // Horizontal / Vertical
    TMoveApartKind kind = mkIncrease;         // IncreaseButton / DiminishButton
    bool scale = false;                       // Scale: the whole last frame compressed into the window
};

// --- lines ---------------------------------------------------------------------------

struct TLinesParams : TEffectParams {
    // CountFrame is read-only at 4; CopyFrame "Copy last frame to all" starts checked.
    TLinesParams()
    {
        frameCount = 4;
        copyFrame = true;
    }
    int lines = 5;                            // L, EditCount "Count of lines"
    TOrientation orientation = orHorizontal;  // Horiz / Vert
};

// The border between bands j - 1 and j of `size` pixels cut into `lines`
// bands: round(j x size / lines), halves to the even neighbour (H = 10 and
// L = 4 give 0, 2, 5, 8, 10).
int BandBorder(int j, int size, int lines);

// --- running ----------------------------------------------------------------------

// Empty when the effect can run on the image; otherwise the message that
// refuses it. Checked in this order: F below 1, C below 2, L below 1, a
// divisor below 0, the run reaching past the last frame, source frames.
std::string CheckEffect(const TGIFImage& image, const TFallWallParams& params);
std::string CheckEffect(const TGIFImage& image, const TRainParams& params);
std::string CheckEffect(const TGIFImage& image, const TMoveApartParams& params);
std::string CheckEffect(const TGIFImage& image, const TLinesParams& params);

// Runs the effect on the image in place (see above). Raises EEffectError
// before anything changes when CheckEffect refuses.
void RunEffect(TGIFImage& image, const TFallWallParams& params, const TEffectProgress& progress = {});
void RunEffect(TGIFImage& image, const TRainParams& params, const TEffectProgress& progress = {});
void RunEffect(TGIFImage& image, const TMoveApartParams& params, const TEffectProgress& progress = {});
void RunEffect(TGIFImage& image, const TLinesParams& params, const TEffectProgress& progress = {});

} // namespace effects
} // namespace animora
