#include "gif/Composition.h"

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

TGIFComposition::TGIFComposition(TGIFImage& image, uint16_t options, const TRect& rect, TCanvas& canvas)
    : image_(image),
      options_(options),
      rect_(rect),
      canvas_(canvas),
      canvasBitmap_(&canvas.Bitmap()),
      systemPalette_(SixteenColorPalette())
{
    background_ = ResolveBackground();
    CollectDisposals();
    if (disposals_[dmBackground] && (options_ & drTransparent))
        savedBackground_ = CopyOfTarget();
    if (disposals_[dmBackground] || disposals_[dmPrevious]) {
        backupBuffer_ = CopyOfTarget();
        frameBuffer_ = std::make_unique<TBitmap>();
    }
}

TColor TGIFComposition::ResolveBackground() const
{
    if (image_.BackdropColor() != kNoBackdrop)
        return image_.BackdropColor();
    TGIFHeader& header = image_.Header();
    if (header.ColorMap().Count() == 0)
        return kWindowColor;
    return header.BackgroundColor();
}

void TGIFComposition::CollectDisposals()
{
    const TGIFImageList& frames = image_.Images();
    for (int i = 0; i < frames.Count(); ++i) {
        const TGIFExtensionList& extensions = frames.SubImage(i)->Extensions();
        for (int j = 0; j < extensions.Count(); ++j) {
            if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(extensions.Extension(j)))
                disposals_.set(control->Disposal());
        }
    }
    if (options_ & drClearOnLoop)
        disposals_.set(dmBackground);
}

std::unique_ptr<TBitmap> TGIFComposition::CopyOfTarget() const
{
    const TBitmap& target = canvas_.Bitmap();
    auto copy = std::make_unique<TBitmap>(rect_.Width(), rect_.Height(), target.GetPixelFormat());
    if (IsPaletteFormat(target.GetPixelFormat()))
        copy->SetPalette(target.Palette());
    TCanvas(*copy).CopyRect(Bounds(0, 0, rect_.Width(), rect_.Height()), target, rect_);
    return copy;
}

void TGIFComposition::Release()
{
    backupBuffer_.reset();
    frameBuffer_.reset();
    savedBackground_.reset();
}

void TGIFComposition::Prepare(int frameIndex)
{
    if (frameIndex >= 0 && frameIndex < image_.Images().Count())
        image_.Images().SubImage(frameIndex)->RenderedBitmap();
}

// Our canvases draw on bitmaps, not device contexts: the target is gone when
// its canvas no longer draws on the bitmap it had, or that bitmap was emptied.
bool TGIFComposition::TargetStillValid() const
{
    return &canvas_.Bitmap() == canvasBitmap_ && !canvas_.Bitmap().Empty();
}

TGIFComposition::Route TGIFComposition::RouteFor(int disposal, int previousDisposal)
{
    switch (disposal) {
    case dmNone:
    case dmNoDispose:
        return Route::Backup;
    case dmBackground:
        return Route::BackupThenRestore;
    case dmPrevious:
        if (previousDisposal == dmNone || previousDisposal == dmNoDispose)
            return Route::Target;
        if (previousDisposal == dmBackground || previousDisposal == dmPrevious)
            return Route::FrameBuffer;
        return Route::Nothing;
    default:
        return Route::Nothing;
    }
}

bool TGIFComposition::Paint(int frameIndex, int disposal, int previousDisposal)
{
    if (frameIndex < 0 || frameIndex >= image_.Images().Count())
        return true;
    const TGIFSubImage& frame = *image_.Images().SubImage(frameIndex);
    if (!backupBuffer_) {
        DrawInto(canvas_, rect_, frame);
        return true;
    }
    if ((options_ & drCheckCanvas) && !TargetStillValid())
        return false;
    PaintBuffered(frame, frameIndex, RouteFor(disposal, previousDisposal));
    return true;
}

void TGIFComposition::PaintBuffered(const TGIFSubImage& frame, int frameIndex, Route route)
{
    if (route == Route::Nothing)
        return;
    // A new loop starts on a clean first-frame area.
    if ((options_ & drClearOnLoop) && frameIndex == 0)
        RestoreFrameArea(frame);
    const TRect whole = Bounds(0, 0, rect_.Width(), rect_.Height());
    switch (route) {
    case Route::Backup:
    case Route::BackupThenRestore: {
        TCanvas backup(*backupBuffer_);
        DrawInto(backup, whole, frame);
        CopyToTarget(*backupBuffer_);
        if (route == Route::BackupThenRestore)
            RestoreFrameArea(frame);
        break;
    }
    case Route::Target:
        // The backup keeps the picture without this frame: that is the
        // "previous" the next frame returns to.
        DrawInto(canvas_, rect_, frame);
        break;
    case Route::FrameBuffer: {
        *frameBuffer_ = *backupBuffer_;
        TCanvas buffer(*frameBuffer_);
        DrawInto(buffer, whole, frame);
        CopyToTarget(*frameBuffer_);
        break;
    }
    case Route::Nothing:
        break;
    }
}

void TGIFComposition::DrawInto(TCanvas& canvas, const TRect& rect, const TGIFSubImage& frame)
{
    frame.RenderedBitmap();  // the palette a frame is shown with is its rendering's
    SelectPalette(frame);
    frame.DrawFrame(canvas, rect, (options_ & drTile) != 0, (options_ & drTransparent) != 0);
}

// On a palette display the frame's colours would be realised before drawing.
// Our canvases draw on device-independent bitmaps, which map colours by
// themselves, so only the choice is kept.
void TGIFComposition::SelectPalette(const TGIFSubImage& frame)
{
    const TPalette* palette = frame.FramePalette();
    selectedPalette_ = palette ? palette : &systemPalette_;
}

void TGIFComposition::CopyToTarget(const TBitmap& buffer)
{
    canvas_.CopyRect(rect_, buffer, Bounds(0, 0, buffer.Width(), buffer.Height()));
}

void TGIFComposition::RestoreFrameArea(const TGIFSubImage& frame)
{
    TCanvas buffer(*backupBuffer_);
    const TRect frameRect = frame.BoundsRect();
    if (options_ & drTile) {
        RestoreTiled(buffer, frameRect);
        return;
    }
    const TRect area = ScaledToBuffer(frameRect);
    if ((options_ & drTransparent) && savedBackground_)
        buffer.CopyRect(area, *savedBackground_, area);
    else
        buffer.FillRect(area, background_);
}

// Tiles have the logical screen's size and repeat from the buffer's top-left;
// the frame's rectangle is restored in each.
void TGIFComposition::RestoreTiled(TCanvas& buffer, const TRect& frameRect)
{
    const int tileWidth = image_.GetWidth();
    const int tileHeight = image_.GetHeight();
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    const bool fromSaved = (options_ & drTransparent) && savedBackground_;
    for (int y = 0; y < backupBuffer_->Height(); y += tileHeight) {
        for (int x = 0; x < backupBuffer_->Width(); x += tileWidth) {
            const TRect area{frameRect.left + x, frameRect.top + y, frameRect.right + x, frameRect.bottom + y};
            if (fromSaved)
                buffer.CopyRect(area, *savedBackground_, area);
            else
                buffer.FillRect(area, background_);
        }
    }
}

TRect TGIFComposition::ScaledToBuffer(const TRect& frameRect) const
{
    const int screenWidth = image_.GetWidth() > 0 ? image_.GetWidth() : frameRect.right;
    const int screenHeight = image_.GetHeight() > 0 ? image_.GetHeight() : frameRect.bottom;
    const int width = backupBuffer_->Width();
    const int height = backupBuffer_->Height();
    return {MulDiv(frameRect.left, width, screenWidth), MulDiv(frameRect.top, height, screenHeight),
            MulDiv(frameRect.right, width, screenWidth), MulDiv(frameRect.bottom, height, screenHeight)};
}

} // namespace animora
