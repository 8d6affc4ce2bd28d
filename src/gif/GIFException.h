#pragma once
// The fatal error of the GIF codec, and the small byte routines that every
// part of the codec shares.
#include <cstdint>
#include <string>

#include "platform/Errors.h"
#include "platform/Stream.h"

namespace animora {

class GIFException : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

[[noreturn]] void RaiseGIFError(const std::string& message);

// 0 for no colours, else the smallest b >= 1 with 2^b >= n.
int BitsForColors(int n);

// Bytes in a row of `width` pixels of `bitsPerPixel`, padded to a multiple of
// `alignment` bits.
int AlignedRowBytes(int width, int bitsPerPixel, int alignment);

// Reads exactly n bytes; a short read raises "Premature end of data".
void ReadExact(TStream& stream, void* buffer, size_t n);
// One byte; 0 at the end of the stream.
uint8_t ReadByte(TStream& stream);
void WriteByte(TStream& stream, uint8_t b);

} // namespace animora
