#pragma once
// Our own BMP reader and writer, behind TBitmap's load and save.
#include "platform/Bitmap.h"

namespace animora {

class TStream;

// Reads a BMP file from the stream's position: Windows (v3, v4, v5) and OS/2
// headers, 1/2/4/8-bit palettes, RLE4 and RLE8, 16/24/32-bit with or without
// bit fields, bottom-up or top-down rows. Palette pictures stay palette
// bitmaps (2-bit ones become 4-bit); 16, 24 and 32-bit pictures become 24-bit,
// or 32-bit when an alpha channel carries something. Every size is checked
// against the data: a damaged or lying file raises EInvalidGraphic
// "Bitmap image is not valid".
// The stream is left just after the pixel data.
TBitmap ReadBmp(TStream& stream);

// Writes a 14-byte file header, a 40-byte info header, the colour table of a
// palette bitmap and the rows bottom-up. 1, 4, 8 and 24-bit bitmaps are
// written as they are; other formats as 24 bits.
void WriteBmp(const TBitmap& bitmap, TStream& stream);

} // namespace animora
