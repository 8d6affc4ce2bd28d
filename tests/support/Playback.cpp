#include "support/Playback.h"

#include "gif/AppExtension.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora::test {

PlaybackEnvironment::PlaybackEnvironment(bool autoAdvance)
    : clock_(std::make_shared<TVirtualClock>(autoAdvance)),
      dispatcher_(std::make_shared<TQueuedGuiDispatcher>()),
      previousClock_(InstallClock(clock_)),
      previousDispatcher_(InstallGuiDispatcher(dispatcher_))
{
}

PlaybackEnvironment::~PlaybackEnvironment()
{
    InstallClock(previousClock_);
    InstallGuiDispatcher(previousDispatcher_);
}

std::unique_ptr<TGIFImage> MakeAnimation(const std::vector<FrameSpec>& frames)
{
    auto image = std::make_unique<TGIFImage>();
    image->Header().ColorMap().AddColor(0x000000);
    image->Header().ColorMap().AddColor(0xFFFFFF);
    image->SetWidth(1);
    image->SetHeight(1);
    for (const FrameSpec& spec : frames) {
        auto frame = std::make_unique<TGIFSubImage>(image.get());
        TGIFSubImage& ref = *frame;
        image->Add(std::move(frame));
        if (!spec.empty)
            ref.SetBounds(0, 0, 1, 1);
        if (spec.loops >= 0) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(ref);
            loop->SetLoops(static_cast<uint16_t>(spec.loops));
            ref.Extensions().Append(std::move(loop));
        }
        if (spec.delay >= 0) {
            auto control = std::make_unique<TGIFGraphicControlExtension>(ref);
            control->SetDelay(static_cast<uint16_t>(spec.delay));
            control->SetDisposal(spec.disposal);
            ref.Extensions().Append(std::move(control));
        }
    }
    return image;
}

std::vector<int> RecordingStep::Log::Frames()
{
    std::lock_guard lock(mutex);
    std::vector<int> frames;
    for (const auto& paint : paints)
        frames.push_back(paint.frame);
    return frames;
}

std::vector<int64_t> RecordingStep::Log::Times()
{
    std::lock_guard lock(mutex);
    std::vector<int64_t> times;
    for (const auto& paint : paints)
        times.push_back(paint.time);
    return times;
}

bool RecordingStep::Log::AllOnGuiThread()
{
    std::lock_guard lock(mutex);
    for (const auto& paint : paints) {
        if (!paint.onGuiThread)
            return false;
    }
    return true;
}

bool RecordingStep::Paint(int frameIndex, int disposal, int previousDisposal)
{
    if (frameIndex == throwAtFrame)
        throw std::runtime_error("paint failed");
    {
        std::lock_guard lock(log_->mutex);
        log_->paints.push_back(
            {frameIndex, disposal, previousDisposal, clock_.NowMs(), std::this_thread::get_id() == guiThread_});
    }
    if (paintCostMs > 0)
        clock_.Advance(paintCostMs);
    return true;
}

std::unique_ptr<TGIFPainter> MakePainter(TGIFImage& image, uint16_t options, std::unique_ptr<TGIFPaintStep> step)
{
    auto painters = image.Painters().LockList();
    auto painter = std::make_unique<TGIFPainter>(image, nullptr, options, Bounds(0, 0, 1, 1), nullptr, std::move(step));
    painters.Add(painter.get());
    return painter;
}

} // namespace animora::test
