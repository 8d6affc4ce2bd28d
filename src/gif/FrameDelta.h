#pragma once
// One frame of an animation written as the change from the picture on screen
// before it: the smallest rectangle that holds every changed pixel, and in
// it, for each pixel that stays the same, the choice between the transparent
// index and the pixel's own colour that encodes smallest.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Canvas.h"

namespace animora {

class TGIFColorMap;

// A whole screen of colours: 0xFF000000 | red << 16 | green << 8 | blue, or
// kNoPixel where nothing has been drawn (the background shows).
using TScreenColors = std::vector<uint32_t>;
constexpr uint32_t kNoPixel = 0;

inline uint32_t ScreenColor(const uint8_t* rgb)
{
    return 0xFF000000u | (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
}

// The first index of each colour of a map, found by an open-addressed table.
class TColorIndexTable {
public:
    explicit TColorIndexTable(const TGIFColorMap& map);
    int Find(uint32_t color) const;
    int Count() const { return count_; }

private:
    static constexpr size_t kSlots = 1024;
    std::vector<uint32_t> colors_;  // kNoPixel: free
    std::vector<int16_t> indices_;
    int count_ = 0;
};

// What the frame's map allows, and how its pixels are encoded.
struct TDeltaMap {
    const TColorIndexTable* colors = nullptr;
    int preferredTransparent = -1;  // the frame's own, when it can be kept
    int bitsPerPixel = 8;           // with one entry more when one is added
    int colorLimit = 256;
    int bitsWithNewEntry = 8;
    int limitWithNewEntry = 256;
    uint8_t encoding = 0;
    bool interlaced = false;
    bool tightCodeSize = false;
};

struct TFrameDelta {
    TRect area;                   // on the screen; never empty
    std::vector<uint8_t> pixels;  // area.Width() x area.Height()
    int transparent = -1;         // the index that leaves the screen alone, or none
    bool addsEntry = false;       // transparent is a new entry at the end of the map
    bool unchanged = false;       // the target is the picture before
    size_t bytes = 0;             // the encoded pixel data
};

// The frame that turns `before` into `target`, or nothing when the map cannot
// show a changed pixel (or the background would have to come back).
std::optional<TFrameDelta> MakeFrameDelta(const TScreenColors& before, const TScreenColors& target, int width,
                                          const TDeltaMap& map);

// The smallest code size that holds every pixel (the LZW minimum is 2).
int TightBitsPerPixel(const std::vector<uint8_t>& pixels);

// The encoded size of a frame's pixels.
size_t EncodedPixelBytes(const std::vector<uint8_t>& pixels, int width, int height, int bitsPerPixel, int colorLimit,
                         uint8_t encoding, bool interlaced);

} // namespace animora
