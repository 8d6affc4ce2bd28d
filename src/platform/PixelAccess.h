#pragma once
// Reading and writing single pixels of a DIB row in any pixel format. Used by
// the bitmap's conversions, the BMP codec and the canvas; inner loops that
// know their format work on the bytes directly instead.
#include <cstdint>

#include "platform/Bitmap.h"

namespace animora::pixels {

// Palette index of pixel x in a 1, 4 or 8-bit row (most significant bits first).
inline uint8_t GetIndex(const uint8_t* row, int x, int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return static_cast<uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return static_cast<uint8_t>((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
    default: return row[x];
    }
}

inline void SetIndex(uint8_t* row, int x, int bitsPerPixel, uint8_t index)
{
    switch (bitsPerPixel) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>((index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
        else
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
        break;
    default: row[x] = index;
    }
}

// 5-bit and 6-bit channels widened to 8 bits by repeating their top bits,
// so full intensity stays 255.
inline uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
inline uint8_t Widen6(unsigned v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

// The colour of pixel x; palette indices past the palette read as black.
TColor ReadColor(const uint8_t* row, int x, PixelFormat format, const TPalette& palette);

// Stores a colour; palette formats store the given index instead (callers
// find it), true-colour formats ignore the index. 32-bit pixels get the alpha.
void WriteColor(uint8_t* row, int x, PixelFormat format, TColor color, uint8_t index, uint8_t alpha = 255);

} // namespace animora::pixels
