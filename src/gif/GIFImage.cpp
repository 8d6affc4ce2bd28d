#include "gif/GIFImage.h"

#include <algorithm>

#include "gif/FrameRendering.h"
#include "gif/GIFException.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

// A load may allocate at most this many pixels per byte of its input (but
// always one largest frame). LZW cannot describe much more than a few
// thousand pixels per byte, so only a file that claims frames its data cannot
// fill runs into it; it keeps a small hostile file from taking gigabytes.
constexpr int64_t kLoadPixelsPerByte = 4096;

} // namespace

TGIFImageDefaults& GIFImageDefaults()
{
    static TGIFImageDefaults defaults;
    return defaults;
}

TGIFImage::TGIFImage() : images_(this), header_(this)
{
    const TGIFImageDefaults& defaults = GIFImageDefaults();
    drawOptions_ = defaults.drawOptions;
    reductionMode_ = defaults.reductionMode;
    reductionBits_ = defaults.reductionBits;
    ditherStyle_ = defaults.ditherStyle;
    encoding_ = defaults.encoding;
    refinePalette_ = defaults.refinePalette;
    animationSpeed_ = defaults.animationSpeed;
    painterPriority_ = defaults.painterPriority;
    backdropColor_ = defaults.backdropColor;
    Clear();
}

TGIFImage::~TGIFImage()
{
    StopAllPainters();
    {
        // A synchronous painter still on the stack must not come back here.
        auto painters = painters_.LockList();
        for (TGIFPainter* painter : painters.Items())
            painter->CutImage();
    }
    Clear();
}

void TGIFImage::Clear()
{
    StopAllPainters();
    DropCaches();
    images_.DeleteAll();
    header_.ColorMap().Reset();
    header_.SetScreenHeight(0);
    header_.SetScreenWidth(0);
    header_.RecomputePackedFields();
    SetPalette(nullptr);
}

void TGIFImage::DropCaches()
{
    // The default painter may be drawing into the bitmap cache.
    StopDefaultPainter();
    cacheCanvas_.reset();
    bitmapCache_.reset();
}

void TGIFImage::GlobalColorMapChanged()
{
    SetPalette(nullptr);
    for (int i = 0; i < images_.Count(); ++i)
        images_.SubImage(i)->DropPaletteCache();
    DropCaches();
}

const TPalette* TGIFImage::GetPalette() const
{
    if (paletteBusy_)
        RaiseGIFError("No global or local color table defined");
    paletteBusy_ = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{paletteBusy_};
    if (const TPalette* cached = CachedShowPalette(bitmapCache_.get(), paletteCache_, DitherFrames()))
        return cached;
    if (header_.ColorMap().Count() > 0) {
        paletteCache_ = header_.ColorMap().MakePalette();
        return paletteCache_.get();
    }
    if (images_.Count() == 0)
        return nullptr;
    return images_.SubImage(0)->Palette();
}

void TGIFImage::SetPalette(std::unique_ptr<TPalette> palette)
{
    if (palette && palette.get() == paletteCache_.get()) {
        palette.release();  // already ours
        return;
    }
    paletteCache_ = std::move(palette);
    if (!bitmapCache_ || (paletteCache_ && *paletteCache_ == bitmapCache_->Palette()))
        return;
    DropCaches();
    SetPaletteModified(true);
    Changed();
}

void TGIFImage::SetWidth(int width)
{
    for (int i = 0; i < images_.Count(); ++i) {
        if (width < images_.SubImage(i)->BoundsRect().right)
            RaiseGIFError("Image width too small for contained frames");
    }
    if (width == header_.ScreenWidth())
        return;
    header_.SetScreenWidth(static_cast<uint16_t>(std::clamp(width, 0, 0xFFFF)));
    DropCaches();
    Changed();
}

void TGIFImage::SetHeight(int height)
{
    for (int i = 0; i < images_.Count(); ++i) {
        if (height < images_.SubImage(i)->BoundsRect().bottom)
            RaiseGIFError("Image height too small for contained frames");
    }
    if (height == header_.ScreenHeight())
        return;
    header_.SetScreenHeight(static_cast<uint16_t>(std::clamp(height, 0, 0xFFFF)));
    DropCaches();
    Changed();
}

void TGIFImage::FitScreenToFrame(const TGIFSubImage& frame)
{
    const TRect bounds = frame.BoundsRect();
    bool warned = false;
    if (header_.ScreenWidth() < bounds.right) {
        if (header_.ScreenWidth() >= 1) {
            Warning(const_cast<TGIFSubImage&>(frame), kWarningSeverity, "Image width too small for contained frames");
            warned = true;
        }
        header_.SetScreenWidth(static_cast<uint16_t>(std::min(bounds.right, 0xFFFF)));
    }
    if (header_.ScreenHeight() < bounds.bottom) {
        if (header_.ScreenHeight() >= 1) {
            Warning(const_cast<TGIFSubImage&>(frame), kWarningSeverity, "Image height too small for contained frames");
            warned = true;
        }
        header_.SetScreenHeight(static_cast<uint16_t>(std::min(bounds.bottom, 0xFFFF)));
    }
    if (warned)
        Warning(const_cast<TGIFSubImage&>(frame), kWarningSeverity, "Image exceeds Logical Screen size");
}

void TGIFImage::ChargeLoadedPixels(int64_t count)
{
    if (loadPixelBudget_ < 0)
        return;
    if (count > loadPixelBudget_)
        RaiseGIFError("Image too large: its frames hold more pixels than its data can describe");
    loadPixelBudget_ -= count;
}

int TGIFImage::ImageBitDepth() const
{
    int depth = header_.BitDepth();
    for (int i = 0; i < images_.Count(); ++i)
        depth = std::max(depth, images_.SubImage(i)->BitDepth());
    return depth;
}

void TGIFImage::Warning(TPersistent& sender, int severity, const std::string& message)
{
    if (WarningHandler)
        WarningHandler(sender, severity, message);
}

void TGIFImage::NotifyProgress(TProgressStage stage, int percent, bool redrawNow, const std::string& message)
{
    Progress(stage, percent, redrawNow, message);
}

// --- loading and saving ----------------------------------------------------------

void TGIFImage::LoadFromStream(TStream& stream)
{
    NotifyProgress(TProgressStage::psStarting, 0, false, "Loading...");
    Clear();
    const int64_t start = stream.Position();
    loadPixelBudget_ = std::max(kMaxFramePixels, std::max<int64_t>(stream.Remaining(), 0) * kLoadPixelsPerByte);
    try {
        header_.ReadFromStream(stream);
        images_.ReadFromStream(stream, *this);
        TGIFTrailer(this).ReadFromStream(stream);
    } catch (...) {
        loadPixelBudget_ = -1;
        stream.SetPosition(start);
        NotifyProgress(TProgressStage::psEnding, 0, true, "Loading...");
        throw;
    }
    loadPixelBudget_ = -1;
    NotifyProgress(TProgressStage::psEnding, 100, true, "Loading...");
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream)
{
    NotifyProgress(TProgressStage::psStarting, 0, false, "Saving...");
    try {
        header_.WriteToStream(stream);
        images_.WriteToStream(stream);
        TGIFTrailer(this).WriteToStream(stream);
    } catch (...) {
        NotifyProgress(TProgressStage::psEnding, 0, true, "Saving...");
        throw;
    }
    NotifyProgress(TProgressStage::psEnding, 100, true, "Saving...");
}

// --- frames and settings ---------------------------------------------------------

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame)
{
    const int index = images_.Append(std::move(frame));
    DropCaches();
    Changed();
    return index;
}

void TGIFImage::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    if (const auto* image = dynamic_cast<const TGIFImage*>(&source)) {
        AssignImage(*image);
        return;
    }
    // A holder of a graphic (the picture loader's picture) gives what it
    // holds: a GIF it read stays a whole image, not one frame of it.
    if (!dynamic_cast<const TGraphic*>(&source) && !dynamic_cast<const TGIFSubImage*>(&source) &&
        source.AssignTo(*this))
        return;
    AssignOther(source);
}

void TGIFImage::AssignImage(const TGIFImage& source)
{
    Clear();
    // The source's handlers follow the copy, and are dropped again after it.
    OnProgress = source.OnProgress;
    WarningHandler = source.WarningHandler;
    try {
        NotifyProgress(TProgressStage::psStarting, 0, false, "Copying...");
        header_.Assign(source.header_);
        painterPriority_ = source.painterPriority_;
        backdropColor_ = source.backdropColor_;
        drawOptions_ = source.drawOptions_;
        reductionMode_ = source.reductionMode_;
        ditherStyle_ = source.ditherStyle_;
        tightCodeSize_ = source.tightCodeSize_;
        refinePalette_ = source.refinePalette_;
        const int count = source.images_.Count();
        for (int i = 0; i < count; ++i) {
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->Assign(*source.images_.SubImage(i));
            images_.Append(std::move(frame));
            NotifyProgress(TProgressStage::psRunning, (i + 1) * 100 / count, false, "Copying...");
        }
        NotifyProgress(TProgressStage::psEnding, 100, true, "Copying...");
    } catch (...) {
        OnProgress = nullptr;
        WarningHandler = nullptr;
        throw;
    }
    OnProgress = nullptr;
    WarningHandler = nullptr;
    DropCaches();
    Changed();
}

void TGIFImage::SetDrawOptions(uint16_t options)
{
    if (options == drawOptions_)
        return;
    StopAnimation();
    drawOptions_ = options;
    // (Compacting the image's storage joins here with the optimiser.)
    Changed();
}

void TGIFImage::SetReductionBits(int bits)
{
    if (bits < 3 || bits > 8)
        RaiseGIFError("Invalid Bits Per Pixel value");
    reductionBits_ = bits;
}

void TGIFImage::SetAnimationSpeed(int percent)
{
    percent = std::clamp(percent, 0, 1000);
    if (percent == animationSpeed_)
        return;
    animationSpeed_ = percent;
    auto painters = painters_.LockList();
    if (defaultPainter_)
        defaultPainter_->SetSpeed(percent);
}

} // namespace animora
