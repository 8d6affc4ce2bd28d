#include "platform/BmpRle.h"

#include "platform/Bitmap.h"
#include "platform/PixelAccess.h"

namespace animora::bmp {

namespace {

constexpr int64_t kRlePixelsWithoutData = int64_t{1} << 22;
constexpr int64_t kRlePixelsPerByte = 512;

// Escape codes following a zero count byte.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

// Walks the run-length data. The file's rows are bottom-up; `y` counts
// them from the bottom and is turned into a bitmap row when pixels are put.
class RleDecoder {
public:
    RleDecoder(const uint8_t* data, const Header& header, TBitmap& bitmap)
        : data_(data), size_(header.bitsSize), bitmap_(bitmap), width_(header.width),
          height_(header.height), bitsPerPixel_(header.bitsPerPixel)
    {
    }

    // Answers the number of data bytes used.
    size_t Run()
    {
        while (Has(2)) {
            const uint8_t count = data_[pos_++];
            const uint8_t value = data_[pos_++];
            if (count != 0)
                PutRun(count, value);
            else if (value == kEndOfLine)
                NextLine();
            else if (value == kEndOfBitmap)
                break;
            else if (value == kDelta)
                Jump();
            else
                PutAbsolute(value);
        }
        return pos_;
    }

private:
    bool Has(size_t count) const { return count <= size_ - pos_; }

    // A run of RLE4 alternates the value's two nibbles.
    uint8_t RunPixel(uint8_t value, int i) const
    {
        if (bitsPerPixel_ == 8)
            return value;
        return static_cast<uint8_t>((i & 1) ? (value & 0x0F) : (value >> 4));
    }

    void Put(uint8_t index)
    {
        if (x_ >= width_ || y_ >= height_)
            Invalid();
        pixels::SetIndex(bitmap_.ScanLine(height_ - 1 - y_), x_, bitsPerPixel_, index);
        ++x_;
    }

    void PutRun(int count, uint8_t value)
    {
        for (int i = 0; i < count; ++i)
            Put(RunPixel(value, i));
    }

    // Literal pixels, padded to a 16-bit boundary in the data.
    void PutAbsolute(int count)
    {
        const size_t bytes = bitsPerPixel_ == 8 ? static_cast<size_t>(count) : (static_cast<size_t>(count) + 1) / 2;
        const size_t padded = (bytes + 1) & ~size_t{1};
        if (!Has(bytes))
            Invalid();
        const uint8_t* literal = data_ + pos_;
        for (int i = 0; i < count; ++i)
            Put(pixels::GetIndex(literal, i, bitsPerPixel_));
        pos_ += Has(padded) ? padded : bytes;
    }

    void NextLine()
    {
        x_ = 0;
        ++y_;
    }

    void Jump()
    {
        if (!Has(2))
            Invalid();
        x_ += data_[pos_++];
        y_ += data_[pos_++];
        if (x_ > width_ || y_ > height_)
            Invalid();
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    TBitmap& bitmap_;
    int width_, height_, bitsPerPixel_;
    int x_ = 0, y_ = 0;
};

} // namespace

void CheckRleSize(const Header& header)
{
    if (header.compression != kRle8 && header.compression != kRle4)
        return;
    const int64_t pixels = static_cast<int64_t>(header.width) * header.height;
    if (pixels > kRlePixelsWithoutData && pixels / kRlePixelsPerByte > static_cast<int64_t>(header.bitsSize))
        Invalid();
}

size_t DecodeRle(const uint8_t* data, const Header& header, TBitmap& bitmap)
{
    return RleDecoder(data, header, bitmap).Run();
}

} // namespace animora::bmp
