#pragma once
// Frames' pictures as device-independent bitmaps for the video export: the
// sizes of header and pixels, and the pixels themselves.
#include <cstddef>
#include <cstdint>
#include <span>

#include "color/DIB.h"

namespace animora {

struct TDIBSizeInfo {
    // The 40-byte header plus, at 8 bits or fewer, a full colour table of
    // 2^bits entries of 4 bytes.
    size_t headerSize = 0;
    // The pixel rows, each padded to 32 bits.
    size_t imageSize = 0;
};

// Raises GIFException "Unsupported PixelFormat" for formats other than
// 1, 4, 8 and 24 bits, "Bitmap image is not valid" for an empty bitmap.
TDIBSizeInfo DIBSizes(const TBitmap& bitmap, PixelFormat format);

// Fills the header and copies the bitmap's rows (bottom-up) into `bits` in
// the format, through the palette when one is given. False when nothing was
// copied (a buffer too small, say).
bool DIBBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, PixelFormat format,
             std::span<uint8_t> bits);

} // namespace animora
