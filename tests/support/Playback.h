#pragma once
// Fixtures for playing animations in tests: virtual time, a GUI dispatcher
// of the test's own thread, small animated images built in memory, and a
// paint step that records what it was asked to paint and when.
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/Painter.h"
#include "platform/Clock.h"
#include "platform/GuiDispatcher.h"

namespace animora::test {

// Installs a virtual clock and a dispatcher for the calling thread while it
// lives, and puts the previous ones back.
class PlaybackEnvironment {
public:
    explicit PlaybackEnvironment(bool autoAdvance = true);
    ~PlaybackEnvironment();

    TVirtualClock& Clock() { return *clock_; }
    TQueuedGuiDispatcher& Dispatcher() { return *dispatcher_; }
    // Runs GUI work until `done` answers true or `limitMs` of real time pass;
    // answers `done()`.
    template <typename Done>
    bool PumpUntil(Done done, int limitMs = 10000)
    {
        for (int waited = 0; !done() && waited < limitMs; ++waited)
            dispatcher_->WaitAndCheckSynchronize(1);
        return done();
    }

private:
    std::shared_ptr<TVirtualClock> clock_;
    std::shared_ptr<TQueuedGuiDispatcher> dispatcher_;
    std::shared_ptr<TClock> previousClock_;
    std::shared_ptr<GuiDispatcher> previousDispatcher_;
};

// One frame of a built animation.
struct FrameSpec {
    int delay = -1;     // hundredths; -1: no graphic control extension
    int disposal = 0;
    int loops = -1;     // >= 0: a looping extension with this count in front of the frame
    bool empty = false; // a frame without pixels
};

// An image of 1 x 1 frames over a two-colour global map.
std::unique_ptr<TGIFImage> MakeAnimation(const std::vector<FrameSpec>& frames);

// Records each paint: frame, disposal, previous disposal, virtual time and
// whether it ran on the GUI thread. Optionally throws at a frame or lets
// virtual time pass while painting.
class RecordingStep : public TGIFPaintStep {
public:
    struct Paint {
        int frame, disposal, previousDisposal;
        int64_t time;
        bool onGuiThread;
    };
    struct Log {
        std::mutex mutex;
        std::vector<Paint> paints;
        std::vector<int> Frames();
        std::vector<int64_t> Times();
        bool AllOnGuiThread();
    };

    RecordingStep(std::shared_ptr<Log> log, TVirtualClock& clock) : log_(std::move(log)), clock_(clock) {}
    bool Paint(int frameIndex, int disposal, int previousDisposal) override;

    int throwAtFrame = -1;
    int64_t paintCostMs = 0;

private:
    std::shared_ptr<Log> log_;
    TVirtualClock& clock_;
    const std::thread::id guiThread_ = std::this_thread::get_id();
};

// A painter on `image` registered in its list as the image would do.
std::unique_ptr<TGIFPainter> MakePainter(TGIFImage& image, uint16_t options, std::unique_ptr<TGIFPaintStep> step);

} // namespace animora::test
