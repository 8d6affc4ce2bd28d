#pragma once
// Drawing on a TBitmap: plain, stretched, masked and tiled copies, rectangle
// fills and single pixels, each followed by a change notification so that a
// window showing the bitmap knows to repaint. Pens, brushes, shapes and text
// are the editor's (it draws with its toolkit on a view of the same pixels).
#include <cstdint>
#include <functional>

#include "platform/Bitmap.h"

namespace animora {

// A rectangle with exclusive right and bottom edges.
struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

// a * b / c rounded to the nearest integer (halves away from zero), computed
// without overflow; -1 when c is 0, as the platform's routine answers.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    const int64_t rounded = ((product < 0) != (c < 0)) ? (product - (c < 0 ? -half : half)) / c
                                                       : (product + (c < 0 ? -half : half)) / c;
    return static_cast<int>(rounded);
}

// What Pixel answers outside the bitmap.
constexpr TColor kInvalidColor = 0xFFFFFFFF;

class TCanvas {
public:
    // The canvas draws on the bitmap; the bitmap must outlive it.
    explicit TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

    TBitmap& Bitmap() { return bitmap_; }

    // Called after every drawing operation.
    std::function<void()> OnChange;
    void Changed();

    // Pixels outside the bitmap: reading answers kInvalidColor, writing does nothing.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Everything below clips to the bitmap. Colours written to a palette
    // bitmap become their nearest palette entry; a palette source drawn on a
    // bitmap with the same palette keeps its indices.
    void FillRect(const TRect& rect, TColor color);

    // A source bitmap whose Transparent flag is set leaves the canvas
    // unchanged where its pixels have its TransparentColor.
    void Draw(int x, int y, const TBitmap& source);
    // Nearest-neighbour stretch of the whole source into the rectangle.
    void StretchDraw(const TRect& dest, const TBitmap& source);
    // Stretches part of the source into the rectangle.
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect);
    // Like StretchDraw, but where the mask (the source's size; a pixel that
    // is not 0 — index or colour — marks transparency) is set the canvas
    // stays unchanged.
    void MaskedStretchDraw(const TRect& dest, const TBitmap& source, const TBitmap& mask);
    // Covers the area with copies of the source at its own size, from the
    // area's top-left, row by row; tiles are cut at the area's edges. With a
    // mask, transparent pixels leave the canvas unchanged.
    void TileDraw(const TRect& area, const TBitmap& source, const TBitmap* mask = nullptr);

private:
    void Blit(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap* mask,
              const TRect& clip);
    void CopyRows(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TRect& area);
    TRect Clip(const TRect& rect) const;

    TBitmap& bitmap_;
};

} // namespace animora
