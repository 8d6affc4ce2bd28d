#include "gif/Encoders.h"

#include <algorithm>

#include "gif/GIFException.h"

namespace animora {

// --- TPixelWalk --------------------------------------------------------------

TPixelWalk::TPixelWalk(const uint8_t* pixels, int width, int height, bool interlaced)
    : pixels_(pixels), width_(static_cast<size_t>(std::max(width, 0))), height_(std::max(height, 0)),
      interlaced_(interlaced)
{
}

bool TPixelWalk::NextSpan(const uint8_t*& span, size_t& length)
{
    if (!interlaced_) {
        if (started_)
            return false;
        started_ = true;
        span = pixels_;
        length = width_ * static_cast<size_t>(height_);
        return true;
    }
    if (!started_)
        started_ = true;
    else if (!NextInterlacedRow())
        return false;
    span = pixels_ + static_cast<size_t>(row_) * width_;
    length = width_;
    return true;
}

bool TPixelWalk::NextInterlacedRow()
{
    static constexpr int kStep[4] = {8, 8, 4, 2};
    static constexpr int kFirstRow[4] = {0, 4, 2, 1};
    row_ += kStep[pass_];
    while (row_ >= height_) {
        if (++pass_ > 3)
            return false;
        row_ = kFirstRow[pass_];
    }
    return true;
}

// --- TGIFEncoder -------------------------------------------------------------

void TGIFEncoder::RaiseColorNotInTable()
{
    RaiseGIFError("Color not in color table");
}

void TGIFEncoder::EncodeFrame(TStream& stream, int bitsPerPixel, int colorLimit, const uint8_t* pixels,
                              bool interlaced, int height, int width)
{
    // Codes of 12 bits leave room for a clear code of at most 2^8 plus strings.
    if (bitsPerPixel > 8)
        RaiseGIFError("Invalid bits per pixel");
    colorLimit_ = colorLimit;
    minCodeSize_ = std::max(bitsPerPixel, 2);
    stream_ = &stream;
    width_ = width;
    height_ = height;
    interlaced_ = interlaced;
    pixels_ = pixels;
    WriteByte(stream, static_cast<uint8_t>(minCodeSize_));

    initialCodeSize_ = minCodeSize_ + 1;
    codeSize_ = initialCodeSize_;
    maxCode_ = (1 << initialCodeSize_) - 1;
    clearCode_ = 1 << minCodeSize_;
    endCode_ = clearCode_ + 1;
    firstFreeCode_ = clearCode_ + 2;
    accumulator_ = 0;
    bitCount_ = 0;

    writer_ = std::make_unique<TGIFWriter>(stream);
    if (pixels && width > 0 && height > 0)
        CompressPixels();
    OutputCode(endCode_);
    writer_->Finish();
    writer_.reset();
    WriteByte(stream, 0);
}

void TGIFEncoder::OutputCode(int code)
{
    PackCode(code);
}

void TGIFEncoder::ClearTable()
{
    justCleared_ = true;
    OutputCode(clearCode_);
}

void EncodeGIFPixels(TStream& stream, uint8_t encoding, int bitsPerPixel, int colorLimit, const uint8_t* pixels,
                     bool interlaced, int height, int width)
{
    std::unique_ptr<TGIFEncoder> encoder;
    if (encoding == 1)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->EncodeFrame(stream, bitsPerPixel, colorLimit, pixels, interlaced, height, width);
}

} // namespace animora
