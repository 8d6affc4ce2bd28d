#pragma once
// The engine's bitmap: a device-independent picture held in memory, rows
// top-down, each row padded to a multiple of 4 bytes (DIB row layout).
// Pixel layouts per format:
//   pf1bit, pf4bit  palette indices packed most significant bits first
//   pf8bit          one palette index per byte
//   pf15bit         16-bit little-endian 0RRRRRGGGGGBBBBB
//   pf16bit         16-bit little-endian RRRRRGGGGGGBBBBB
//   pf24bit         blue, green, red
//   pf32bit         blue, green, red, alpha
// pfDevice means "what the display uses" and is stored as pf24bit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Graphic.h"
#include "platform/Palette.h"

namespace animora {

class TStream;

enum class PixelFormat : uint8_t {
    pfDevice = 0,
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6,
    pf32bit = 7,
};

// 1, 4, 8, 16 (for pf15bit and pf16bit), 24 or 32; pfDevice counts as 24.
int BitsPerPixel(PixelFormat format);
// pf1bit, pf4bit and pf8bit: formats whose pixels are palette indices.
bool IsPaletteFormat(PixelFormat format);
// The smallest format holding the bit count (1, 4, 8, 15, 16, 24, 32);
// raises EInvalidGraphicOperation "Unsupported PixelFormat" for other counts.
PixelFormat PixelFormatForBits(int bitsPerPixel);

// Bytes of one row of a DIB: width * bits rounded up to a multiple of 32 bits.
size_t DIBRowBytes(int width, int bitsPerPixel);

// Pictures larger than this are refused: a bitmap never asks for more than
// MaxBitmapPixels * 4 bytes.
constexpr int64_t MaxBitmapPixels = int64_t{1} << 28;

class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    // A zeroed picture. Palette formats start with the standard palette of
    // their depth: black and white, the 16 colours, the halftone table.
    TBitmap(int width, int height, PixelFormat format = PixelFormat::pf24bit);

    std::string ClassName() const override { return "TBitmap"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    bool GetEmpty() const override { return Empty(); }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    // Resizing keeps the top-left part of the picture; new pixels are 0
    // (index 0, or black). Negative sizes raise EInvalidGraphicOperation,
    // pictures over MaxBitmapPixels EOutOfMemory "Bitmap is too large".
    void SetSize(int width, int height);
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }

    PixelFormat GetPixelFormat() const { return format_; }
    // Converts the pixels in place; see Bitmap.cpp for the rules.
    void SetPixelFormat(PixelFormat format);
    int BitsPerPixel() const { return animora::BitsPerPixel(format_); }

    // The palette of a palette format. True-colour bitmaps may carry one too
    // (it is kept, but pixels do not refer to it).
    const TPalette& Palette() const { return palette_; }
    void SetPalette(const TPalette& palette);

    // Row access; row 0 is the top. An index outside 0..Height-1 raises
    // EInvalidGraphicOperation "Scan line index out of range".
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    size_t RowBytes() const { return rowBytes_; }
    // All rows, top row first, RowBytes() apart.
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }
    size_t BitsSize() const { return pixels_.size(); }

    // The colour of a pixel (palette formats through the palette; an index
    // past the palette reads as black). Coordinates outside the picture
    // raise EInvalidGraphicOperation "Invalid pixel coordinates".
    TColor PixelColor(int x, int y) const;
    // Palette formats store the nearest palette entry.
    void SetPixelColor(int x, int y, TColor color);

    // Transparency (the flag is the graphic's): when no colour was set, the
    // transparent colour is the colour of the bottom-left pixel (black for an
    // empty bitmap).
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    // Back to "bottom-left pixel" transparency.
    void ResetTransparentColor() { hasTransparentColor_ = false; }

    // BMP files. Loading replaces the picture, raising EInvalidGraphic
    // "Bitmap image is not valid" for damaged or hostile files (the bitmap is
    // left as it was). Saving writes 1, 4, 8 or 24 bits; other formats are
    // written as 24 bits.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const;
    void SaveToStream(TStream& stream) override { std::as_const(*this).SaveToStream(stream); }
    void LoadFromFile(const std::string& fileName) override;
    // Writes through a temporary file, so a failed save keeps the old file.
    void SaveToFile(const std::string& fileName) const;
    void SaveToFile(const std::string& fileName) override { std::as_const(*this).SaveToFile(fileName); }

    // --- the bitmap as a graphic ---
    // Stretches the picture into the rectangle.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    const TPalette* GetPalette() const override { return palette_.Empty() ? nullptr : &palette_; }
    // From another bitmap a copy; from another graphic whatever it can give
    // (AssignTo), else the graphic drawn onto a 24-bit bitmap of its size.
    void Assign(const TPersistent& source) override;
    // The clipboard's bitmap format holds a BMP file's bytes.
    void LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>* data) override;
    void SaveToClipboardFormat(std::string& format, std::vector<uint8_t>& data) override;

    // Same size, format, palette and pixels (row padding ignored).
    bool SamePicture(const TBitmap& other) const;

private:
    void Allocate(int width, int height, PixelFormat format);

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::pf24bit;
    size_t rowBytes_ = 0;
    std::vector<uint8_t> pixels_;
    TPalette palette_;
    bool hasTransparentColor_ = false;
    TColor transparentColor_ = 0;
};

// The bitmap's transparency as a 1-bit mask of its size: a set pixel (index
// 1) wherever the bitmap has its transparent colour.
TBitmap MakeTransparencyMask(const TBitmap& bitmap);

} // namespace animora
