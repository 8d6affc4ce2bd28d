#pragma once
// TGIFPainter plays an animated image on a canvas: it keeps time (frame
// delays, speed, looping, pauses) and has each frame painted by a
// TGIFPaintStep, either from a thread of its own that only keeps time and
// hands every paint step and every event to the GUI thread, or synchronously
// inside the caller's drawing call, running the GUI's pending work while it
// waits.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/GuiDispatcher.h"
#include "platform/ThreadSync.h"

namespace animora {

class TGIFImage;
class TGIFSubImage;
class TGIFPainter;

// Playback constants (frame delays are in hundredths of a second). New
// painters copy them.
struct TGIFPlaybackTiming {
    int DelayUnitMs = 12;          // milliseconds per unit of a frame delay
    int DefaultFrameDelay = 10;    // no graphic control, or a delay of 0
    int MinimumFrameDelay = 3;     // smaller delays are raised to this
    int MaximumFrameDelay = 1000;  // synchronous painters cap delays here; their pause length
};
TGIFPlaybackTiming& GIFPlaybackTiming();

// The delay a painter plays a frame with, in hundredths of a second.
int PlayedFrameDelay(const TGIFSubImage& frame, bool threaded, const TGIFPlaybackTiming& timing);
// The disposal method a frame is painted with: its last graphic control
// extension's, 1 (keep) without one.
int FrameDisposal(const TGIFSubImage& frame);
// The wait of a delay at a speed in percent (0 < speed), in milliseconds,
// before lost time is taken off: delay x DelayUnitMs x 100 / speed.
int64_t DelayToMs(int delay, int speed, const TGIFPlaybackTiming& timing);

// What puts a frame on screen. The painter calls Paint on the GUI thread.
class TGIFPaintStep {
public:
    virtual ~TGIFPaintStep() = default;
    // Called on the painter's own thread before it waits for a frame, so
    // that the wait hides the work of rendering the frame.
    virtual void Prepare(int /*frameIndex*/) {}
    // Paints frame `frameIndex` given its disposal method and the previous
    // frame's. False when the target is gone and playing should stop.
    virtual bool Paint(int frameIndex, int disposal, int previousDisposal) = 0;
    // Lets go of the buffers; the painter is done.
    virtual void Release() {}
};

using TGIFPainterEvent = std::function<void(TGIFPainter& sender)>;

// The five handlers an image hands every painter it starts.
struct TGIFPainterHandlers {
    TGIFPainterEvent OnPlayStart;
    TGIFPainterEvent OnBeforeFrame;
    TGIFPainterEvent OnAfterFrame;
    TGIFPainterEvent OnLoopRestart;
    TGIFPainterEvent OnPlayEnd;
};

class TGIFPainter {
public:
    // `ownerSlot`, when given, is set to this painter and cleared again at
    // the end while it still names it (the image's default painter).
    TGIFPainter(TGIFImage& image, TGIFPainter** ownerSlot, uint16_t options, const TRect& rect, TCanvas* canvas,
                std::unique_ptr<TGIFPaintStep> step);
    // Stops and joins a thread still running.
    ~TGIFPainter();
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    TGIFPainterHandlers Handlers;

    // Threaded painters: starts the thread. Synchronous ones: nothing.
    void Start();
    // Synchronous painters: plays to the end, then raises again an error
    // the run caught.
    void Run();
    void Stop();
    // Percent, clamped to 0..1000. A change cuts the current wait short (or,
    // without a wake event, restarts from the first frame).
    void SetSpeed(int percent);
    int Speed() const { return speed_; }

    bool Threaded() const { return threaded_; }
    bool Terminated() const { return terminated_; }
    // The run has ended and the painter has left its image's list.
    bool Finished() const { return finished_; }
    // Waits for the thread of a finished painter.
    void Join();

    // The frame being shown, -1 when not playing. An OnAfterFrame handler
    // may set the frame to go on with.
    int ActiveFrame() const { return activeFrame_; }
    void SetActiveFrame(int frame) { activeFrame_ = frame; }
    bool HasPainted() const { return hasPainted_; }
    int Disposal() const { return disposal_; }
    int PreviousDisposal() const { return previousDisposal_; }

    TGIFImage* Image() const { return image_; }
    // The image is going away before the painter.
    void CutImage() { image_ = nullptr; }
    TCanvas* Canvas() const { return canvas_; }
    const TRect& PaintRect() const { return rect_; }
    uint16_t Options() const { return options_; }
    bool HasWakeEvent() const { return wakeEvent_ != nullptr; }
    // The platform's scale of seven steps, idle to time-critical. Kept for
    // the app; threads run at the normal priority.
    uint8_t Priority() const { return priority_; }
    void SetPriority(uint8_t priority) { priority_ = priority; }

    // The error the run caught, if any (threaded painters leave it to the
    // image, which hands it to the GUI dispatcher).
    std::exception_ptr CaughtError() const { return caughtError_; }

private:
    struct PassState {
        int loopsLeft = 1;
        int loopStart = 0;
        bool loopSeen = false;
        int delay = 0;
        int64_t lastTime = 0;
        int64_t lastWait = 0;
    };

    void ThreadBody();
    void Execute();
    void PlayOuterPass();
    void PlayFrames(PassState& state);
    bool Playing() const { return !terminated_ && !restartRequested_; }
    void ReadFrameExtensions(const TGIFSubImage& frame, PassState& state);
    void WaitForDelay(PassState& state);
    int64_t WaitLength(PassState& state, int64_t now) const;
    void WaitThreaded(PassState& state, int64_t wait, int speed);
    void WaitSynchronously(int64_t wait);
    void PaintFrame();
    void Fire(const TGIFPainterEvent& handler);
    void OnGuiThread(const std::function<void()>& work);
    void Detach();
    int FrameCount() const;

    std::atomic<TGIFImage*> image_;
    TGIFPainter** ownerSlot_;
    TCanvas* canvas_;
    TRect rect_;
    uint16_t options_;
    bool threaded_;
    uint8_t priority_ = 3;
    std::atomic<int> speed_;
    std::atomic<int> activeFrame_{-1};
    std::atomic<int> disposal_{0};
    std::atomic<int> previousDisposal_{1};
    std::atomic<bool> restartRequested_{false};
    std::atomic<bool> hasPainted_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::unique_ptr<TAutoResetEvent> wakeEvent_;
    std::exception_ptr caughtError_;
    std::unique_ptr<TGIFPaintStep> step_;
    TGIFPlaybackTiming timing_;
    std::shared_ptr<TClock> clock_;
    std::shared_ptr<GuiDispatcher> dispatcher_;
    std::thread thread_;
};

} // namespace animora
