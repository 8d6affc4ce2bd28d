#include "gif/SubImage.h"

#include <algorithm>

#include "gif/Encoders.h"
#include "gif/FrameDelta.h"
#include "gif/Extension.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/LZWDecoder.h"
#include "platform/Endian.h"

namespace animora {

TGIFSubImage::TGIFSubImage(TGIFImage* image)
    : TGIFItem(image), colorMap_(*this), extensions_(image)
{
}

TGIFSubImage::~TGIFSubImage()
{
    if (image_)
        image_->Images().Detach(this);
    Clear();
}

void TGIFSubImage::Clear()
{
    extensions_.DeleteAll();
    colorMap_.Reset();
    FreePixels();
    height_ = 0;
    width_ = 0;
    transparent_ = false;
    graphicControl_ = nullptr;
    DropBitmapCaches();
}

void TGIFSubImage::DropBitmapCaches()
{
    bitmapCache_.reset();
    mask_.reset();
    maskStale_ = true;
}

void TGIFSubImage::PixelsChanged()
{
    DropBitmapCaches();
}

void TGIFSubImage::LocalColorMapChanged()
{
    SetFramePalette(nullptr);
    // Pixels of a rendered bitmap no longer say what the map says.
    DropBitmapCaches();
}

void TGIFSubImage::FreePixels()
{
    pixels_.clear();
    pixels_.shrink_to_fit();
}

static int64_t CheckedPixelCount(int width, int height)
{
    const int64_t count = static_cast<int64_t>(width) * height;
    if (width < 0 || height < 0 || count > kMaxFramePixels)
        RaiseGIFError("Image too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    return count;
}

void TGIFSubImage::AllocatePixels(uint8_t fill)
{
    FreePixels();
    const int64_t count = CheckedPixelCount(width_, height_);
    if (count > 0)
        pixels_.assign(static_cast<size_t>(count), fill);
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height)
{
    if (left < 0 || top < 0 || left > 0xFFFF || top > 0xFFFF || width > 0xFFFF || height > 0xFFFF)
        RaiseGIFError("Invalid pixel coordinates");
    CheckedPixelCount(width, height);
    left_ = left;
    top_ = top;
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        DropBitmapCaches();
        AllocatePixels(0);
    }
    if (image_)
        image_->FitScreenToFrame(*this);
}

void TGIFSubImage::SetInterlaced(bool interlaced)
{
    packed_ = static_cast<uint8_t>(interlaced ? (packed_ | 0x40) : (packed_ & ~0x40));
}

bool TGIFSubImage::IsEmpty() const
{
    return pixels_.empty() || width_ == 0 || height_ == 0;
}

uint8_t* TGIFSubImage::ScanLine(int y)
{
    if (y < 0 || y >= height_)
        RaiseGIFError("Invalid pixel coordinates");
    if (pixels_.empty())
        AllocatePixels(0);
    if (pixels_.empty())
        RaiseGIFError("Image is empty");
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
}

uint8_t TGIFSubImage::PixelAt(int x, int y)
{
    if (x < 0 || x >= width_)
        RaiseGIFError("Invalid pixel coordinates");
    return ScanLine(y)[x];
}

TGIFColorMap& TGIFSubImage::ActiveColorMap()
{
    if (colorMap_.Count() > 0 || !image_ || image_->Header().ColorMap().Count() == 0)
        return colorMap_;
    return image_->Header().ColorMap();
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const
{
    return const_cast<TGIFSubImage*>(this)->ActiveColorMap();
}

TGIFVersion TGIFSubImage::RequiredVersion() const
{
    return colorMap_.Sorted() || extensions_.Count() > 0 ? gv89a : gv87a;
}

void TGIFSubImage::AssignFrame(const TGIFSubImage& source)
{
    const TGIFSubImage* frame = &source;
    Clear();
    DropPaletteCache();
    colorMap_.Assign(frame->colorMap_);
    separator_ = frame->separator_;
    left_ = frame->left_;
    top_ = frame->top_;
    width_ = frame->width_;
    height_ = frame->height_;
    packed_ = frame->packed_;
    pixels_ = frame->pixels_;
    // Extensions are copied from an empty frame too: the last frame of a
    // file may be nothing but the extensions after the last image.
    for (int i = 0; i < frame->extensions_.Count(); ++i)
        extensions_.Append(CloneExtension(*frame->extensions_.Extension(i), *this));
    if (frame->bitmapCache_)
        bitmapCache_ = std::make_unique<TBitmap>(*frame->bitmapCache_);
}

// --- reading ---------------------------------------------------------------------

void TGIFSubImage::ReadFromStream(TStream& stream)
{
    Clear();
    extensions_.ReadFromStream(stream, *this);
    uint8_t next = 0;
    if (stream.Read(&next, 1) != 1)
        return;
    stream.Seek(-1, SeekOrigin::Current);
    // Extensions after the last image make a frame of their own, without pixels.
    if (next == kTrailerByte || next == 0)
        return;
    ReadDescriptor(stream);
    if (packed_ & 0x80)
        colorMap_.ReadTable(stream, 1 << ((packed_ & 7) + 1));
    ReadPixels(stream);
}

void TGIFSubImage::ReadDescriptor(TStream& stream)
{
    uint8_t descriptor[10];
    ReadExact(stream, descriptor, sizeof descriptor);
    separator_ = descriptor[0];
    left_ = GetU16LE(descriptor + 1);
    top_ = GetU16LE(descriptor + 3);
    width_ = GetU16LE(descriptor + 5);
    height_ = GetU16LE(descriptor + 7);
    packed_ = descriptor[9];
    if (width_ == 0 || height_ == 0) {
        height_ = image_ ? image_->Header().ScreenHeight() : 0;
        width_ = image_ ? image_->Header().ScreenWidth() : 0;
        ReportWarning(kWarningSeverity, "Image exceeds Logical Screen size");
    }
}

void TGIFSubImage::ReadPixels(TStream& stream)
{
    const int64_t count = CheckedPixelCount(width_, height_);
    if (image_)
        image_->ChargeLoadedPixels(count);
    const bool fillTransparent = transparent_ && graphicControl_;
    AllocatePixels(fillTransparent ? graphicControl_->TransparentColorIndex() : 0);
    // A frame without pixels still has its image data to step over.
    uint8_t none = 0;
    uint8_t* target = pixels_.empty() ? &none : pixels_.data();
    const int width = pixels_.empty() ? 0 : width_;
    const int height = pixels_.empty() ? 0 : height_;
    DecodeGIFPixels(stream, target, width, height, Interlaced(),
                    [this](const std::string& message) { ReportWarning(kWarningSeverity, message); });
}

// --- writing ---------------------------------------------------------------------

uint8_t TGIFSubImage::RecomputePackedFields()
{
    if (colorMap_.Count() > 0) {
        // A frame with its own map is written with rows in natural order.
        uint8_t packed = 0x80;
        if (colorMap_.Sorted())
            packed |= 0x20;
        packed |= static_cast<uint8_t>((colorMap_.BitDepth() - 1) & 7);
        packed_ = packed;
    } else {
        packed_ &= 0x58;
    }
    return packed_;
}

void TGIFSubImage::WriteToStream(TStream& stream)
{
    extensions_.WriteToStream(stream);
    if (IsEmpty())
        return;
    RecomputePackedFields();
    uint8_t descriptor[10];
    descriptor[0] = separator_;
    PutU16LE(descriptor + 1, static_cast<uint16_t>(left_));
    PutU16LE(descriptor + 3, static_cast<uint16_t>(top_));
    PutU16LE(descriptor + 5, static_cast<uint16_t>(width_));
    PutU16LE(descriptor + 7, static_cast<uint16_t>(height_));
    descriptor[9] = packed_;
    stream.WriteBuffer(descriptor, sizeof descriptor);
    colorMap_.WriteTable(stream);
    WritePixels(stream, Interlaced());
}

void TGIFSubImage::WritePixels(TStream& stream, bool interlaced)
{
    int bitsPerPixel = 0;
    int colorLimit = 0;
    if (colorMap_.Count() > 0) {
        bitsPerPixel = colorMap_.BitDepth();
        colorLimit = colorMap_.Count();
    } else {
        bitsPerPixel = image_ ? image_->ImageBitDepth() : 0;
        colorLimit = 1 << bitsPerPixel;
    }
    if (image_ && image_->TightCodeSize() && !pixels_.empty())
        bitsPerPixel = std::min(bitsPerPixel, TightBitsPerPixel(pixels_));
    const uint8_t encoding = image_ ? image_->Encoding() : kEncodingLZW;
    EncodeGIFPixels(stream, encoding, bitsPerPixel, colorLimit, pixels_.data(), interlaced, height_, width_);
}

} // namespace animora
