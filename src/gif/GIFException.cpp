#include "gif/GIFException.h"

namespace animora {

void RaiseGIFError(const std::string& message)
{
    throw GIFException(message);
}

int BitsForColors(int n)
{
    if (n <= 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < n)
        ++bits;
    return bits;
}

int AlignedRowBytes(int width, int bitsPerPixel, int alignment)
{
    const int64_t bits = static_cast<int64_t>(width) * bitsPerPixel + alignment - 1;
    return static_cast<int>((bits - bits % alignment) / 8);
}

void ReadExact(TStream& stream, void* buffer, size_t n)
{
    if (stream.Read(buffer, n) != n)
        RaiseGIFError("Premature end of data");
}

uint8_t ReadByte(TStream& stream)
{
    uint8_t b = 0;
    stream.Read(&b, 1);
    return b;
}

void WriteByte(TStream& stream, uint8_t b)
{
    stream.WriteBuffer(&b, 1);
}

} // namespace animora
