#pragma once
// The LZW decoder of GIF image data: one frame's code stream, from the
// minimum-code-size byte to the block terminator, into one byte per pixel.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Stream.h"

namespace animora {

using DecoderWarning = std::function<void(const std::string& message)>;

// Decodes one frame's image data, starting at the LZW minimum-code-size byte,
// into `pixels` (width*height bytes, allocated and pre-filled by the caller
// with the fill value: the transparent index or 0). Pixels the data does not
// reach keep the fill value.
//
// Damage the rest of the file survives is reported through `warn`
// ("Premature end of data", "Decoder bit buffer under-run"); a table whose
// prefix chain loops raises GIFException ("Circular decoder table entry" for
// an entry that is its own prefix, "Looping decoder table chain" for a longer
// loop), and so does a minimum code size above 11 ("Invalid LZW code size").
// When the data ends with an end code the rest of the sub-blocks is skipped,
// so that the stream stands after the block terminator.
void DecodeGIFPixels(TStream& stream, uint8_t* pixels, int width, int height, bool interlaced,
                     const DecoderWarning& warn);

} // namespace animora
