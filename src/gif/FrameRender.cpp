// A frame as a bitmap: rendering its indices (plain, or dithered to the
// colour cube) into an 8-bit bitmap with a 1-bit transparency mask, and
// drawing it on a canvas.
#include <algorithm>
#include <cstring>

#include "gif/FrameRendering.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"

namespace animora {

namespace {

const std::string kRendering = "Rendering...";

// The colours of two palettes agree (flags aside).
bool SameColors(const TPalette& a, const TPalette& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a[i].Color() != b[i].Color())
            return false;
    return true;
}

} // namespace

// --- the mask -------------------------------------------------------------------

bool MaskRowFromIndices(const uint8_t* indices, int width, uint8_t transparentIndex, uint8_t* maskRow)
{
    bool any = false;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint8_t bits = 0;
        for (int k = 0; k < 8; ++k)
            if (indices[x + k] == transparentIndex)
                bits = static_cast<uint8_t>(bits | (0x80 >> k));
        maskRow[x / 8] = bits;
        any = any || bits != 0;
    }
    // The last partial byte is stored only when it marks something.
    uint8_t bits = 0;
    for (int k = 0; x + k < width; ++k)
        if (indices[x + k] == transparentIndex)
            bits = static_cast<uint8_t>(bits | (0x80 >> k));
    if (bits != 0) {
        maskRow[x / 8] = bits;
        any = true;
    }
    return any;
}

std::unique_ptr<TBitmap> MaskBitmapFromRows(const std::vector<uint8_t>& rows, int width, int height)
{
    auto mask = std::make_unique<TBitmap>(width, height, PixelFormat::pf1bit);
    const size_t rowBytes = MaskRowBytes(width);
    for (int y = 0; y < height; ++y)
        std::memcpy(mask->ScanLine(y), rows.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
    return mask;
}

// --- palettes -------------------------------------------------------------------

bool TGIFSubImage::DitherFrames() const
{
    return image_ && image_->DitherFrames();
}

const TPalette* TGIFSubImage::FramePalette() const
{
    if (const TPalette* cached = CachedShowPalette(bitmapCache_.get(), paletteCache_, DitherFrames()))
        return cached;
    if (colorMap_.Count() == 0)
        return image_ ? image_->GetPalette() : nullptr;
    paletteCache_ = colorMap_.MakePalette();
    return paletteCache_.get();
}

void TGIFSubImage::SetFramePalette(std::unique_ptr<TPalette> palette)
{
    if (palette && palette.get() == paletteCache_.get()) {
        palette.release();  // already ours
        return;
    }
    paletteCache_ = std::move(palette);
    if (!bitmapCache_)
        return;
    if (paletteCache_ && SameColors(*paletteCache_, bitmapCache_->Palette()))
        return;
    DropBitmapCaches();
    if (image_) {
        image_->SetPaletteModified(true);
        image_->FrameChanged(*this);
    }
}

// --- rendering ------------------------------------------------------------------

void TGIFSubImage::NotifyRendering(TProgressStage stage, int percent, bool redrawNow) const
{
    if (image_)
        image_->NotifyProgress(stage, percent, redrawNow, kRendering);
}

TBitmap* TGIFSubImage::RenderedBitmap() const
{
    if (bitmapCache_)
        return bitmapCache_.get();
    if (IsEmpty())
        return nullptr;
    bitmapCache_ = Render();
    return bitmapCache_.get();
}

std::unique_ptr<TBitmap> TGIFSubImage::Render() const
{
    NotifyRendering(TProgressStage::psStarting, 0, false);
    const bool wantMask = maskStale_ && transparent_;
    std::unique_ptr<TBitmap> bitmap;
    try {
        TFrameRendering rendering;
        rendering.indices = pixels_.data();
        rendering.width = width_;
        rendering.height = height_;
        rendering.wantMask = wantMask;
        rendering.transparentIndex = graphicControl_ ? graphicControl_->TransparentColorIndex() : 0;
        rendering.progress = [this](int percent) { NotifyRendering(TProgressStage::psRunning, percent, false); };
        const TPalette* palette = FramePalette();
        bitmap = std::make_unique<TBitmap>(width_, height_, PixelFormat::pf8bit);
        bitmap->SetPalette(palette ? *palette : TPalette());
        maskStale_ = false;
        if (DitherFrames())
            RenderDithered(rendering, ActiveColorMap(), *bitmap);
        else
            RenderPlain(rendering, *bitmap);
        if (rendering.maskUsed)
            mask_ = MaskBitmapFromRows(rendering.mask, width_, height_);
    } catch (const EAbort&) {
        maskStale_ = maskStale_ || wantMask;
        NotifyRendering(TProgressStage::psEnding, 0, false);
        return nullptr;
    } catch (...) {
        maskStale_ = maskStale_ || wantMask;
        NotifyRendering(TProgressStage::psEnding, 0, false);
        throw;
    }
    const bool paletteModified = image_ && image_->PaletteModified();
    NotifyRendering(TProgressStage::psEnding, 100, paletteModified);
    if (paletteModified)
        image_->FrameChanged(const_cast<TGIFSubImage&>(*this));
    return bitmap;
}

void TGIFSubImage::SetRenderedBitmap(const TBitmap* bitmap)
{
    if (!bitmap) {
        DropBitmapCaches();
        return;
    }
    // The bitmap may be our own rendering, painted on: keep it while it is read.
    std::unique_ptr<TBitmap> own = std::move(bitmapCache_);
    DropBitmapCaches();
    Assign(*bitmap);
}

bool TGIFSubImage::HasMask() const
{
    if (maskStale_ && transparent_) {
        bitmapCache_.reset();
        RenderedBitmap();
    }
    return mask_ != nullptr;
}

// --- drawing --------------------------------------------------------------------

void TGIFSubImage::DrawFrame(TCanvas& canvas, const TRect& rect, bool tile, bool transparent) const
{
    // HasMask may render again, so it comes before the bitmap is taken.
    const bool masked = transparent && transparent_ && HasMask();
    const TBitmap* picture = RenderedBitmap();
    if (!picture)
        return;
    const TBitmap* mask = masked ? mask_.get() : nullptr;
    if (tile) {
        canvas.TileDraw(rect, *picture, mask);
        return;
    }
    int screenWidth = image_ ? image_->GetWidth() : 0;
    int screenHeight = image_ ? image_->GetHeight() : 0;
    if (screenWidth <= 0)
        screenWidth = left_ + width_;
    if (screenHeight <= 0)
        screenHeight = top_ + height_;
    const TRect target{rect.left + MulDiv(left_, rect.Width(), screenWidth),
                       rect.top + MulDiv(top_, rect.Height(), screenHeight),
                       rect.left + MulDiv(left_ + width_, rect.Width(), screenWidth),
                       rect.top + MulDiv(top_ + height_, rect.Height(), screenHeight)};
    if (mask)
        canvas.MaskedStretchDraw(target, *picture, *mask);
    else
        canvas.StretchDraw(target, *picture);
}

bool TGIFSubImage::AssignTo(TPersistent& destination) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(&destination);
    if (!bitmap)
        return false;
    const TBitmap* rendered = RenderedBitmap();
    bitmap->Assign(rendered ? *rendered : TBitmap());
    return true;
}

} // namespace animora
