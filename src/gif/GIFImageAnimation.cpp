// The playing side of TGIFImage: the default painter that Draw starts, the
// bitmap cache it paints into, and stopping and waiting for painters.
#include <algorithm>

#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/GuiDispatcher.h"

namespace animora {

namespace {

// How long one wait for painters lasts before their state is looked at again.
constexpr int kPainterPollMs = 1;

} // namespace

// --- Draw of an animated image ------------------------------------------------------

bool TGIFImage::ShowCache(TCanvas& canvas, const TRect& rect)
{
    if (!bitmapCache_)
        return false;
    if (drawOptions_ & drTile)
        canvas.TileDraw(rect, *bitmapCache_);
    else
        canvas.StretchDraw(rect, *bitmapCache_);
    return true;
}

void TGIFImage::DrawAnimated(TCanvas& canvas, const TRect& rect)
{
    const bool unbuffered = (drawOptions_ & drUnbuffered) != 0;
    {
        auto painters = painters_.LockList();
        if (defaultPainter_ && defaultPainter_->Canvas() == (unbuffered ? &canvas : cacheCanvas_.get()) &&
            (!unbuffered || defaultPainter_->PaintRect() == rect))
            return;
    }
    StopAnimation();
    if (unbuffered) {
        StartPainter(canvas, rect, drawOptions_, true);
        return;
    }
    PrepareCacheTarget(canvas, rect);
    TGIFPainter* painter = StartPainter(*cacheCanvas_, Bounds(0, 0, GetWidth(), GetHeight()), drawOptions_, true);
    if (painter) {
        // The first frame must be in the cache before the cache is shown.
        while (!painter->HasPainted() && !painter->Finished() && !CurrentGuiDispatcher()->QuitRequested())
            CurrentGuiDispatcher()->WaitAndCheckSynchronize(kPainterPollMs);
    }
    ShowCache(canvas, rect);
}

// The cache has the screen's size and the image palette, and starts with
// what the canvas shows under the rectangle, so that transparent frames
// play over the caller's background.
void TGIFImage::PrepareCacheTarget(TCanvas& canvas, const TRect& rect)
{
    const TBitmap& target = canvas.Bitmap();
    const PixelFormat format =
        target.GetPixelFormat() == PixelFormat::pf32bit ? PixelFormat::pf32bit : PixelFormat::pf24bit;
    auto cache = std::make_unique<TBitmap>(GetWidth(), GetHeight(), format);
    if (const TPalette* palette = GetPalette())
        cache->SetPalette(*palette);
    auto cacheCanvas = std::make_unique<TCanvas>(*cache);
    cacheCanvas->CopyRect(Bounds(0, 0, GetWidth(), GetHeight()), target, rect);
    cacheCanvas->OnChange = [this] { Changed(); };
    bitmapCache_ = std::move(cache);
    cacheCanvas_ = std::move(cacheCanvas);
}

// --- painters -----------------------------------------------------------------------

TGIFPainter* TGIFImage::StartPainter(TCanvas& canvas, const TRect& rect, uint16_t options, bool asDefault)
{
    ReapPainters();
    if (GetEmpty() || rect.IsEmpty())
        return nullptr;
    if (images_.Count() == 1)
        options &= ~(drThreaded | drAnimate);
    std::unique_ptr<TGIFPainter> painter;
    {
        auto painters = painters_.LockList();
        auto composition = std::make_unique<TGIFComposition>(*this, options, rect, canvas);
        painter = std::make_unique<TGIFPainter>(*this, asDefault ? &defaultPainter_ : nullptr, options, rect, &canvas,
                                                std::move(composition));
        painter->Handlers = {OnPlayStart, OnBeforeFrame, OnAfterFrame, OnLoopRestart, OnPlayEnd};
        painter->SetPriority(painterPriority_);
        painters.Add(painter.get());
    }
    if (!painter->Threaded()) {
        painter->Run();  // raises again what the run caught
        return nullptr;
    }
    TGIFPainter* started = painter.get();
    threadedPainters_.push_back(std::move(painter));
    started->Start();
    return started;
}

TGIFPainter* TGIFImage::DefaultPainter()
{
    auto painters = painters_.LockList();
    return defaultPainter_;
}

void TGIFImage::YieldToPainters()
{
    std::shared_ptr<GuiDispatcher> dispatcher = CurrentGuiDispatcher();
    // Quitting: the GUI runs nothing more, so painters must not wait for it.
    if (dispatcher->QuitRequested())
        dispatcher->Shutdown();
    dispatcher->WaitAndCheckSynchronize(kPainterPollMs);
}

void TGIFImage::StopDefaultPainter()
{
    for (;;) {
        {
            auto painters = painters_.LockList();
            if (!defaultPainter_)
                break;
            defaultPainter_->Stop();
            if (!defaultPainter_->Threaded())
                break;
        }
        YieldToPainters();
    }
    ReapPainters();
}

void TGIFImage::StopAnimation()
{
    StopDefaultPainter();
    DropCaches();
}

void TGIFImage::StopAllPainters()
{
    for (;;) {
        int threads = 0;
        {
            auto painters = painters_.LockList();
            for (TGIFPainter* painter : painters.Items()) {
                painter->Stop();
                threads += painter->Threaded() ? 1 : 0;
            }
        }
        if (threads == 0)
            break;
        YieldToPainters();
    }
    ReapPainters();
}

void TGIFImage::ReapPainters()
{
    std::shared_ptr<GuiDispatcher> dispatcher;
    auto ended = std::stable_partition(threadedPainters_.begin(), threadedPainters_.end(),
                                       [](const auto& painter) { return !painter->Finished(); });
    for (auto it = ended; it != threadedPainters_.end(); ++it) {
        (*it)->Join();
        if (std::exception_ptr error = (*it)->CaughtError()) {
            if (!dispatcher)
                dispatcher = CurrentGuiDispatcher();
            dispatcher->HandleException(error);
        }
    }
    threadedPainters_.erase(ended, threadedPainters_.end());
}

} // namespace animora
