#include "gif/Painter.h"

#include <algorithm>

#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

// a x b / c rounded to the nearest integer, halves away from zero.
int64_t MulDivWide(int64_t a, int64_t b, int64_t c)
{
    const int64_t product = a * b;
    const int64_t half = c / 2;
    return (product >= 0 ? product + half : product - half) / c;
}

// A synchronous painter runs the GUI's pending work at least this often.
constexpr int64_t kPumpIntervalMs = 100;

} // namespace

TGIFPlaybackTiming& GIFPlaybackTiming()
{
    static TGIFPlaybackTiming timing;
    return timing;
}

int PlayedFrameDelay(const TGIFSubImage& frame, bool threaded, const TGIFPlaybackTiming& timing)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    if (!control || control->Delay() == 0)
        return timing.DefaultFrameDelay;
    int delay = std::max<int>(control->Delay(), timing.MinimumFrameDelay);
    if (!threaded)
        delay = std::min(delay, timing.MaximumFrameDelay);
    return delay;
}

int FrameDisposal(const TGIFSubImage& frame)
{
    int disposal = dmNoDispose;
    const TGIFExtensionList& extensions = frame.Extensions();
    for (int i = 0; i < extensions.Count(); ++i) {
        if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(extensions.Extension(i)))
            disposal = control->Disposal();
    }
    return disposal;
}

int64_t DelayToMs(int delay, int speed, const TGIFPlaybackTiming& timing)
{
    return MulDivWide(int64_t{delay} * timing.DelayUnitMs, 100, std::max(speed, 1));
}

TGIFPainter::TGIFPainter(TGIFImage& image, TGIFPainter** ownerSlot, uint16_t options, const TRect& rect,
                         TCanvas* canvas, std::unique_ptr<TGIFPaintStep> step)
    : image_(&image),
      ownerSlot_(ownerSlot),
      canvas_(canvas),
      rect_(rect),
      options_(options),
      threaded_((options & drThreaded) != 0),
      speed_(image.AnimationSpeed()),
      step_(std::move(step)),
      timing_(GIFPlaybackTiming()),
      clock_(CurrentClock()),
      dispatcher_(CurrentGuiDispatcher())
{
    if (threaded_ && (options & drAnimate) && image.Images().Count() > 1 && speed_ >= 0)
        wakeEvent_ = std::make_unique<TAutoResetEvent>();
    if (ownerSlot_)
        *ownerSlot_ = this;
}

TGIFPainter::~TGIFPainter()
{
    if (!thread_.joinable())
        return;
    Stop();
    // The thread may be waiting for the GUI thread to run a step for it.
    while (!finished_ && dispatcher_->IsGuiThread())
        dispatcher_->WaitAndCheckSynchronize(1);
    thread_.join();
}

void TGIFPainter::Start()
{
    if (threaded_ && !thread_.joinable())
        thread_ = std::thread([this] { ThreadBody(); });
}

void TGIFPainter::Run()
{
    if (threaded_) {
        Start();
        return;
    }
    Execute();
    Detach();
    finished_ = true;
    if (caughtError_)
        std::rethrow_exception(caughtError_);
}

void TGIFPainter::ThreadBody()
{
    Execute();
    Detach();
    finished_ = true;
}

void TGIFPainter::Join()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TGIFPainter::Stop()
{
    terminated_ = true;
    priority_ = 3;
    if (threaded_ && wakeEvent_)
        wakeEvent_->Set();
}

void TGIFPainter::SetSpeed(int percent)
{
    percent = std::clamp(percent, 0, 1000);
    if (percent == speed_)
        return;
    speed_ = percent;
    if (wakeEvent_)
        wakeEvent_->Set();
    else
        restartRequested_ = true;
}

int TGIFPainter::FrameCount() const
{
    TGIFImage* image = image_;
    return image ? image->Images().Count() : 0;
}

// --- the run ---------------------------------------------------------------------

void TGIFPainter::Execute()
{
    try {
        restartRequested_ = true;
        while (restartRequested_ && !terminated_)
            PlayOuterPass();
        activeFrame_ = -1;
        Fire(Handlers.OnPlayEnd);
    } catch (...) {
        // Kept, and raised again for whoever waits for this painter.
        terminated_ = true;
        caughtError_ = std::current_exception();
    }
}

void TGIFPainter::PlayOuterPass()
{
    activeFrame_ = 0;
    Fire(Handlers.OnPlayStart);
    hasPainted_ = false;
    restartRequested_ = false;
    PassState state;
    state.delay = threaded_ ? 0 : 1;
    previousDisposal_ = dmNoDispose;
    state.lastTime = clock_->NowMs();

    const bool looping = (options_ & drAnimate) && (options_ & drLoop);
    while ((state.loopsLeft != 0 || (options_ & drLoopForever)) && Playing()) {
        activeFrame_ = state.loopStart;
        if (hasPainted_)
            Fire(Handlers.OnLoopRestart);
        PlayFrames(state);
        if (state.loopsLeft > 0)
            --state.loopsLeft;
        if (!looping)
            break;
    }
}

void TGIFPainter::PlayFrames(PassState& state)
{
    while (Playing()) {
        // A handler may have chosen a frame that is not there: the pass ends.
        const int index = activeFrame_;
        if (index < 0 || index >= FrameCount())
            return;
        const TGIFSubImage& frame = *image_.load()->Images().SubImage(index);
        if (frame.IsEmpty())
            return;
        WaitForDelay(state);
        Fire(Handlers.OnBeforeFrame);
        if (terminated_)
            return;
        ReadFrameExtensions(frame, state);
        PaintFrame();
        previousDisposal_ = disposal_.load();
        state.delay = PlayedFrameDelay(frame, threaded_, timing_);
        Fire(Handlers.OnAfterFrame);
        if (activeFrame_ == index)
            activeFrame_ = index + 1;
        if (!(options_ & drAnimate))
            return;
    }
}

void TGIFPainter::ReadFrameExtensions(const TGIFSubImage& frame, PassState& state)
{
    disposal_ = dmNoDispose;
    const TGIFExtensionList& extensions = frame.Extensions();
    for (int i = 0; i < extensions.Count(); ++i) {
        const TGIFExtension* extension = extensions.Extension(i);
        if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension)) {
            if (state.loopSeen)
                continue;
            state.loopSeen = true;
            const bool endless = (loop->Loops() == 0 || (options_ & drLoopForever)) && threaded_;
            state.loopsLeft = endless ? -1 : loop->Loops();
            state.loopStart = activeFrame_;
        } else if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(extension)) {
            disposal_ = control->Disposal();
        }
    }
}

// --- waiting ---------------------------------------------------------------------

void TGIFPainter::WaitForDelay(PassState& state)
{
    if (state.delay <= 0) {
        clock_->SleepMs(0);
        return;
    }
    // Rendering the frame now lets the wait absorb its cost. It runs on the
    // GUI thread like every other use of the frame's caches.
    if (step_)
        OnGuiThread([&] { step_->Prepare(activeFrame_); });
    const int64_t now = clock_->NowMs();
    const int speed = speed_;
    const int64_t wait = WaitLength(state, now);
    state.lastTime = now;
    if (threaded_)
        WaitThreaded(state, wait, speed);
    else
        WaitSynchronously(wait);
}

int64_t TGIFPainter::WaitLength(PassState& state, int64_t now) const
{
    const int speed = speed_;
    if (speed > 0) {
        // Half of the time lost since the previous wait is taken off this one.
        const int64_t lost = (now - state.lastTime - state.lastWait) / 2;
        state.lastWait = MulDivWide(int64_t{state.delay} * timing_.DelayUnitMs - lost, 100, speed);
        return state.lastWait;
    }
    return threaded_ ? kInfiniteWait : int64_t{timing_.MaximumFrameDelay} * timing_.DelayUnitMs;
}

void TGIFPainter::WaitThreaded(PassState& state, int64_t wait, int speed)
{
    if (!wakeEvent_ || !(wait > 0 || speed == 0))
        return;
    if (clock_->WaitEvent(*wakeEvent_, speed == 0 ? kInfiniteWait : wait)) {
        state.lastWait = 0;
        state.lastTime = clock_->NowMs();
    }
}

void TGIFPainter::WaitSynchronously(int64_t wait)
{
    wait = std::max<int64_t>(wait, 1);
    while (wait > 0 && Playing()) {
        const int64_t start = clock_->NowMs();
        clock_->SleepMs(std::min(wait, kPumpIntervalMs));
        wait -= clock_->NowMs() - start;
        if (!dispatcher_->IsGuiThread())
            continue;
        while (Playing() && dispatcher_->DispatchMessages()) {
        }
        // The application is quitting: the request stays for the main loop.
        if (dispatcher_->QuitRequested())
            Stop();
    }
}

// --- painting and events -----------------------------------------------------------

void TGIFPainter::PaintFrame()
{
    OnGuiThread([this] {
        if (step_ && !step_->Paint(activeFrame_, disposal_, previousDisposal_)) {
            Stop();
            return;
        }
        hasPainted_ = true;
    });
}

void TGIFPainter::Fire(const TGIFPainterEvent& handler)
{
    if (handler)
        OnGuiThread([&] { handler(*this); });
}

void TGIFPainter::OnGuiThread(const std::function<void()>& work)
{
    if (terminated_)
        return;
    if (!threaded_) {
        work();
        return;
    }
    dispatcher_->Synchronize([&] {
        if (!terminated_)
            work();
    });
}

void TGIFPainter::Detach()
{
    if (TGIFImage* image = image_) {
        auto painters = image->Painters().LockList();
        if (ownerSlot_ && *ownerSlot_ == this)
            *ownerSlot_ = nullptr;
        painters.Remove(this);
        image_ = nullptr;
    }
    if (step_)
        step_->Release();
}

} // namespace animora
