#pragma once
// Little-endian byte access. File formats here (GIF, BMP, ICO, metafiles)
// store every number least significant byte first; all reads and writes of
// such numbers go through these helpers instead of scattered shifts.
#include <cstdint>

namespace animora {

inline uint16_t GetU16LE(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t GetU32LE(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline int16_t GetS16LE(const uint8_t* p) { return static_cast<int16_t>(GetU16LE(p)); }
inline int32_t GetS32LE(const uint8_t* p) { return static_cast<int32_t>(GetU32LE(p)); }

inline void PutU16LE(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32LE(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace animora
