// A picture becomes a frame: bitmaps of 1, 4 or 8 bits keep their palettes,
// others are reduced to 256 colours by the image's settings; icons and
// metafiles are drawn first and bring their masks. The transparency of the
// source becomes a transparent colour of the frame.
#include <array>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"
#include "platform/GraphicKinds.h"
#include "platform/PixelAccess.h"

namespace animora {

namespace {

const std::string kConverting = "Converting...";
constexpr int kImportProgressRows = 32;

// The last colours met by the 24-bit import with their map indices: runs of
// equal colours cost no search of the colour map.
class TRecentColors {
public:
    // The index of the colour, from the ring or else from the map (which adds
    // it, raising "Color table overflow" past 256 colours).
    int IndexOf(TColor color, TGIFColorMap& map)
    {
        int slot = lastHit_;
        for (int n = 0; n < kSlots && slots_[slot].used; ++n) {
            if (slots_[slot].color == color) {
                lastHit_ = slot;
                return slots_[slot].index;
            }
            slot = (slot + kSlots - 1) % kSlots;
        }
        const int index = map.FindOrAddColor(color);
        lastHit_ = (lastHit_ + 1) % kSlots;
        slots_[lastHit_] = {color, index, true};
        return index;
    }

private:
    static constexpr int kSlots = 8;
    struct Slot {
        TColor color = 0;
        int index = 0;
        bool used = false;
    };
    std::array<Slot, kSlots> slots_{};
    int lastHit_ = 0;
};

// A mask pixel that is not 0 (an index, or a colour other than black) marks
// a transparent pixel.
bool MaskPixelSet(const TBitmap& mask, const uint8_t* row, int x)
{
    if (IsPaletteFormat(mask.GetPixelFormat()))
        return pixels::GetIndex(row, x, mask.BitsPerPixel()) != 0;
    return (pixels::ReadColor(row, x, mask.GetPixelFormat(), mask.Palette()) & 0xFFFFFF) != 0;
}

// A metafile played on white and on black: where the two differ it painted
// nothing, and the frame shows through.
TBitmap MetafileMask(TMetafile& metafile)
{
    const int width = metafile.GetWidth(), height = metafile.GetHeight();
    TBitmap onWhite(width, height, PixelFormat::pf24bit);
    TBitmap onBlack(width, height, PixelFormat::pf24bit);
    TCanvas white(onWhite), black(onBlack);
    white.FillRect({0, 0, width, height}, MakeColor(255, 255, 255));
    metafile.Draw(white, {0, 0, width, height});
    metafile.Draw(black, {0, 0, width, height});
    TBitmap mask(width, height, PixelFormat::pf1bit);
    for (int y = 0; y < height; ++y) {
        const uint8_t* w = onWhite.ScanLine(y);
        const uint8_t* b = onBlack.ScanLine(y);
        uint8_t* m = mask.ScanLine(y);
        for (int x = 0; x < width; ++x)
            if ((w[3 * x] ^ b[3 * x]) | (w[3 * x + 1] ^ b[3 * x + 1]) | (w[3 * x + 2] ^ b[3 * x + 2]))
                pixels::SetIndex(m, x, 1, 1);
    }
    return mask;
}

} // namespace

void TGIFSubImage::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    if (const auto* own = dynamic_cast<const TBitmap*>(&source); own && HoldsBitmap(source)) {
        const TBitmap copy(*own);  // Clear would free it while it is read
        AssignBitmap(copy);
        return;
    }
    if (const auto* frame = dynamic_cast<const TGIFSubImage*>(&source))
        AssignFrame(*frame);
    else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source))
        AssignBitmap(*bitmap);
    else if (const auto* graphic = dynamic_cast<const TGraphic*>(&source))
        AssignGraphic(*graphic);
    else
        TGIFItem::Assign(source);
}

void TGIFSubImage::AssignBitmap(const TBitmap& source)
{
    Clear();
    if (source.Empty())
        return;
    // The pixels are allocated after the reduction, so that a large picture,
    // its reduction's working copy and the frame's pixels never coexist.
    std::unique_ptr<TBitmap> picture = IsPaletteFormat(source.GetPixelFormat())
                                           ? std::make_unique<TBitmap>(source)
                                           : ReduceForFrame(source);
    SetWidth(source.Width());
    SetHeight(source.Height());
    if (image_)
        image_->NotifyProgress(TProgressStage::psStarting, 0, false, kConverting);
    try {
        ImportRows(*picture);
        bitmapCache_ = std::move(picture);
        if (source.Transparent())
            ApplyMask(MakeTransparencyMask(source));
    } catch (...) {
        if (image_)
            image_->NotifyProgress(TProgressStage::psEnding, 0, true, kConverting);
        throw;
    }
    if (image_)
        image_->NotifyProgress(TProgressStage::psEnding, 100, true, kConverting);
}

std::unique_ptr<TBitmap> TGIFSubImage::ReduceForFrame(const TBitmap& source) const
{
    const uint8_t mode = image_ ? image_->ReductionMode() : GIFImageDefaults().reductionMode;
    const uint8_t dither = image_ ? image_->DitherStyle() : GIFImageDefaults().ditherStyle;
    const int bits = image_ ? image_->ReductionBits() : GIFImageDefaults().reductionBits;
    const bool refine = image_ ? image_->RefinePalette() : GIFImageDefaults().refinePalette;
    // The reduction reads its source as 24 bits, converting it in place: a
    // 24-bit picture is only read, others are converted in a copy so the
    // caller's bitmap stays as it was.
    if (source.GetPixelFormat() == PixelFormat::pf24bit)
        return ReduceFrameColors(const_cast<TBitmap&>(source), mode, dither, bits, refine);
    TBitmap copy(source);
    return ReduceFrameColors(copy, mode, dither, bits, refine);
}

void TGIFSubImage::ImportRows(TBitmap& picture)
{
    if (picture.Width() != width_ || picture.Height() != height_)
        RaiseGIFError("Image is empty");
    const PixelFormat format = picture.GetPixelFormat();
    if (IsPaletteFormat(format))
        colorMap_.FillFromDIBColors(picture);
    else
        picture.SetPixelFormat(PixelFormat::pf24bit);
    const int bits = picture.BitsPerPixel();
    TRecentColors recent;
    for (int y = 0; y < height_; ++y) {
        if (y % kImportProgressRows == 0 && image_)
            image_->NotifyProgress(TProgressStage::psRunning, y * 100 / height_, false, kConverting);
        const uint8_t* in = picture.ScanLine(y);
        uint8_t* out = ScanLine(y);
        if (bits == 8) {
            std::copy(in, in + width_, out);
        } else if (bits < 8) {
            // 4 bits: high nibble first; 1 bit: most significant bit first.
            for (int x = 0; x < width_; ++x)
                out[x] = pixels::GetIndex(in, x, bits);
        } else {
            // Rows hold blue, green, red.
            for (int x = 0; x < width_; ++x, in += 3)
                out[x] = static_cast<uint8_t>(recent.IndexOf(MakeColor(in[2], in[1], in[0]), colorMap_));
        }
    }
}

// Entries no pixel uses, at the end of a map sorted by use. The map's
// optimisation keeps them when the entries were in order already; a full map
// would then leave no room for the transparent colour.
static void DropUnusedTail(TGIFColorMap& map)
{
    TUsageTable usage{};
    for (int i = 0; i < kMaxColors; ++i)
        usage[static_cast<size_t>(i)].index = i;
    map.CountUsage(usage);
    int count = map.Count();
    while (count > 0 && usage[static_cast<size_t>(count - 1)].count == 0)
        --count;
    while (map.Count() > count)
        map.RemoveColor(map.Count() - 1);
}

void TGIFSubImage::ApplyMask(const TBitmap& mask)
{
    if (colorMap_.OptimizeEntries() && colorMap_.Count() == kMaxColors)
        DropUnusedTail(colorMap_);
    if (colorMap_.Count() == 0 || colorMap_.Count() == kMaxColors)
        return;  // no room for a transparent colour: the frame stays opaque
    const int transparentIndex = colorMap_.AddColor(MakeColor(0, 0, 0));
    bool any = false;
    const int width = std::min(width_, mask.Width());
    const int height = std::min(height_, mask.Height());
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = mask.ScanLine(y);
        uint8_t* out = ScanLine(y);
        for (int x = 0; x < width; ++x)
            if (MaskPixelSet(mask, in, x)) {
                out[x] = static_cast<uint8_t>(transparentIndex);
                any = true;
            }
    }
    if (!any) {
        colorMap_.RemoveColor(transparentIndex);
        return;
    }
    PixelsChanged();
    auto control = std::make_unique<TGIFGraphicControlExtension>(*this);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(transparentIndex);
    extensions_.Append(std::move(control));
}

void TGIFSubImage::AssignGraphic(const TGraphic& source)
{
    Clear();
    if (source.GetEmpty())
        return;
    // Drawing does not change a picture; the interface is not const because
    // a GIF image's drawing keeps state of its own.
    TGraphic& graphic = const_cast<TGraphic&>(source);
    auto* icon = dynamic_cast<const TIcon*>(&source);
    auto* metafile = dynamic_cast<TMetafile*>(&graphic);
    const TRect whole{0, 0, graphic.GetWidth(), graphic.GetHeight()};
    TBitmap picture;
    auto draw = [&] {
        picture = TBitmap(whole.right, whole.bottom, PixelFormat::pf24bit);
        TCanvas canvas(picture);
        graphic.Draw(canvas, whole);
    };
    if (icon || metafile) {
        try {
            draw();
        } catch (const EAnimoraError&) {
            picture.Assign(source);
        }
    } else {
        try {
            picture.Assign(source);
        } catch (const EConvertError&) {
            draw();
        }
    }
    AssignBitmap(picture);
    if (icon)
        ApplyMask(icon->Mask());
    else if (metafile)
        ApplyMask(MetafileMask(*metafile));
}

} // namespace animora
