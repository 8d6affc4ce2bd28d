#pragma once
// Run-length encoded BMP pixels (RLE8 and RLE4). Internal to the platform layer.
#include <cstddef>
#include <cstdint>

#include "platform/BmpFormat.h"

namespace animora {
class TBitmap;
}

namespace animora::bmp {

// Run-length data may describe far more pixels than it has bytes (runs,
// jumps, an early end), so a header could claim a huge picture for a tiny
// file. Pictures over 4 megapixels must have at least one byte of data per
// 512 pixels; others are refused as not valid before anything is allocated.
void CheckRleSize(const Header& header);

// Decodes RLE8 or RLE4 data into an 8 or 4-bit bitmap of the header's size.
// Pixels the data never reaches stay index 0. Runs past the end of a row,
// jumps past the picture and rows past the top are not valid. Answers the
// number of data bytes used.
size_t DecodeRle(const uint8_t* data, const Header& header, TBitmap& bitmap);

} // namespace animora::bmp
