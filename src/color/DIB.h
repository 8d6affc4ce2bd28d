#pragma once
// Row access to device-independent bitmaps for the colour engine.
//
// TDIBReader shows the rows of an existing bitmap after converting it in
// place to the format asked for. TDIBWriter builds a new 8-bit (palette) or
// 24-bit picture in memory of its own, bottom-up as a DIB file stores it, and
// hands the finished picture to its target bitmap when it finishes.
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "color/ColorTypes.h"
#include "platform/Bitmap.h"

namespace animora {

// The 40-byte header of a DIB (the layout of a BMP file's info header).
struct TBitmapInfoHeader {
    uint32_t Size = 40;
    int32_t Width = 0;
    int32_t Height = 0; // positive: rows stored bottom-up
    uint16_t Planes = 1;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};

// A header followed by room for a full colour table.
struct TBitmapInfo {
    TBitmapInfoHeader Header;
    std::array<TRGBQuad, 256> Colors{};
};

class TDIB {
public:
    TDIB(TBitmap& bitmap, PixelFormat format) : bitmap_(bitmap), pixelFormat_(format) {}
    virtual ~TDIB() = default;
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;

    virtual uint8_t* GetRow(int row) = 0;

    TBitmap& Bitmap() const { return bitmap_; }
    PixelFormat GetPixelFormat() const { return pixelFormat_; }

protected:
    TBitmap& bitmap_; // not owned
    PixelFormat pixelFormat_;
};

class TDIBReader final : public TDIB {
public:
    // Converts the caller's bitmap to `format` in place.
    TDIBReader(TBitmap& bitmap, PixelFormat format);
    uint8_t* GetRow(int row) override { return bitmap_.ScanLine(row); }
};

class TDIBWriter final : public TDIB {
public:
    // Only pf8bit and pf24bit: else GIFException "Unsupported PixelFormat"; a
    // width or height of 0 (or a negative width) raises "Invalid image
    // dimensions". Nothing is allocated before the first GetRow. The palette
    // (may be null) becomes the colour table of an 8-bit picture; it is
    // copied, so it need not outlive the writer.
    TDIBWriter(TBitmap& target, PixelFormat format, int width, int height, const TPalette* palette);
    // Finishes when Finish was not called; errors are swallowed here, so
    // callers that care call Finish themselves.
    ~TDIBWriter() override;

    // Row 0 is the top of the picture. Raises EInvalidGraphicOperation "Scan
    // line index out of range" outside 0..|height|-1.
    uint8_t* GetRow(int row) override;

    // Hands the picture to the target and frees the memory; a writer that
    // never had a row requested hands nothing over.
    void Finish();

    const TBitmapInfo* Info() const { return info_.get(); }
    const uint8_t* Bits() const { return bits_.get(); }
    int InfoSize() const { return infoSize_; }
    size_t BitsSize() const { return bitsSize_; }
    size_t RowBytes() const;

private:
    void CreateDIB();
    void FillColorTable();
    void FreeDIB();

    std::unique_ptr<TBitmapInfo> info_;
    std::unique_ptr<uint8_t[]> bits_;
    int infoSize_ = 0;
    size_t bitsSize_ = 0;
    TPalette palette_;
    int height_;
    int width_;
};

// Fills `header` for the bitmap's picture stored at `format` (pf1bit,
// pf4bit, pf8bit or pf24bit, else GIFException "Unsupported PixelFormat"). An
// empty bitmap raises GIFException "Bitmap image is not valid".
void FillDIBHeader(const TBitmap& bitmap, TBitmapInfoHeader& header, PixelFormat format);

// Copies the bitmap's picture as a bottom-up DIB of `format` into `bits`,
// with its colour table into info.Colors. For a palette format the pixels
// are those of the bitmap converted to the format; when a palette is given
// they are mapped to that palette instead, which then is the colour table.
// Answers false when `bits` is smaller than the header's image size or no
// row was copied.
bool CopyDIBBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, PixelFormat format,
                 std::span<uint8_t> bits);

} // namespace animora
