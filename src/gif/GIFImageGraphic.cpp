// The GIF image as a graphic among others: frames made from other graphics,
// the image bitmap, drawing, the dither decision and the clipboard.
#include "gif/GIFCodec.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Clipboard.h"
#include "platform/Errors.h"

namespace animora {

// --- frames from other objects ----------------------------------------------------

int TGIFImage::Add(const TPersistent& source)
{
    if (!dynamic_cast<const TGraphic*>(&source) && !dynamic_cast<const TGIFSubImage*>(&source))
        RaiseGIFError("Object type not supported for operation");
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    return Add(std::move(frame));
}

bool TGIFImage::HoldsObject(const TPersistent& object) const
{
    if (&object == bitmapCache_.get())
        return true;
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage& frame = *images_.SubImage(i);
        if (&object == &frame || frame.HoldsBitmap(object))
            return true;
    }
    return false;
}

void TGIFImage::AssignOther(const TPersistent& source)
{
    // Clear frees the frames and bitmaps of this image: one of them as the
    // source is copied first.
    if (HoldsObject(source)) {
        if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
            const TBitmap copy(*bitmap);
            AssignOther(copy);
            return;
        }
        if (const auto* frame = dynamic_cast<const TGIFSubImage*>(&source)) {
            TGIFSubImage copy(nullptr);
            copy.Assign(*frame);
            AssignOther(copy);
            return;
        }
    }
    Clear();
    auto frame = std::make_unique<TGIFSubImage>(this);
    try {
        frame->Assign(source);
    } catch (const EConvertError&) {
        frame.reset();
        TGraphic::Assign(source);  // raises "Cannot assign a %s to a %s"
        return;
    }
    Add(std::move(frame));
}

bool TGIFImage::AssignTo(TPersistent& destination) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(&destination);
    if (!bitmap)
        return TGraphic::AssignTo(destination);
    const TBitmap* picture = FirstFrameBitmap();
    bitmap->Assign(picture ? *picture : TBitmap());
    return true;
}

// --- the image bitmap ---------------------------------------------------------------

TBitmap* TGIFImage::FirstFrameBitmap() const
{
    if (GetEmpty())
        return nullptr;
    if (bitmapCache_)
        return bitmapCache_.get();
    const TGIFSubImage& frame = *images_.SubImage(0);
    const TBitmap* rendered = frame.RenderedBitmap();
    if (rendered && frame.Width() == GetWidth() && frame.Height() == GetHeight()) {
        bitmapCache_ = std::make_unique<TBitmap>(*rendered);
    } else {
        // A true-colour picture, so that frame 0 keeps its own colours
        // whatever the image palette; the palette travels along.
        auto picture = std::make_unique<TBitmap>(GetWidth(), GetHeight(), PixelFormat::pf24bit);
        if (const TPalette* palette = GetPalette())
            picture->SetPalette(*palette);
        TCanvas canvas(*picture);
        frame.DrawFrame(canvas, {0, 0, GetWidth(), GetHeight()}, false, false);
        bitmapCache_ = std::move(picture);
    }
    bitmapCache_->OnChange = [this](TPersistent&) { const_cast<TGIFImage*>(this)->Changed(); };
    return bitmapCache_.get();
}

void TGIFImage::FrameChanged(TGIFSubImage& frame)
{
    ChangedBy(frame);
}

// --- drawing ------------------------------------------------------------------------

bool TGIFImage::DitherFrames() const
{
    if (!(drawOptions_ & drDither))
        return false;
    if (drawOptions_ & drAutoDither)
        return GIFCodecSettings().PaletteDevice;
    return true;
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect)
{
    if (drawing_ || GetEmpty())
        return;
    drawing_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{drawing_};
    if (images_.Count() == 1 || !(drawOptions_ & drAnimate)) {
        images_.SubImage(0)->DrawFrame(canvas, rect, (drawOptions_ & drTile) != 0, (drawOptions_ & drTransparent) != 0);
        return;
    }
    if (!(drawOptions_ & drUnbuffered) && ShowCache(canvas, rect))
        return;
    DrawAnimated(canvas, rect);
}

// --- clipboard ----------------------------------------------------------------------

void TGIFImage::LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>* data)
{
    std::optional<std::vector<uint8_t>> fromClipboard;
    if (!data) {
        fromClipboard = Clipboard().GetData(format);
        if (!fromClipboard)
            RaiseGIFError("Unsupported clipboard format");
        data = &*fromClipboard;
    }
    if (format == kGIFClipboardFormat) {
        TMemoryStream stream(*data);
        LoadFromStream(stream);
    } else if (format == kClipboardBitmapFormat) {
        TBitmap bitmap;
        bitmap.LoadFromClipboardFormat(format, data);
        Assign(bitmap);
    } else {
        RaiseGIFError("Unsupported clipboard format");
    }
}

void TGIFImage::SaveToClipboardFormat(std::string& format, std::vector<uint8_t>& data)
{
    if (GetEmpty())
        return;
    FirstFrameBitmap()->SaveToClipboardFormat(format, data);
    TMemoryStream stream;
    SaveToStream(stream);
    if (!Clipboard().SetData(kGIFClipboardFormat, std::move(stream.Bytes())))
        RaiseGIFError("Failed to store GIF on clipboard");
}

} // namespace animora
