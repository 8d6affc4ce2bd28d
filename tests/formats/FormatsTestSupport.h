#pragma once
// Helpers of the format tests: little-endian byte building, metafiles built
// record by record, picture comparison and running other programs.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace animora::test {

class Bytes {
public:
    Bytes& U8(uint8_t v) { data_.push_back(v); return *this; }
    Bytes& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
    Bytes& S16(int16_t v) { return U16(uint16_t(v)); }
    Bytes& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    Bytes& S32(int32_t v) { return U32(uint32_t(v)); }
    Bytes& F32(float v);
    Bytes& Append(const std::vector<uint8_t>& more) { data_.insert(data_.end(), more.begin(), more.end()); return *this; }
    size_t Size() const { return data_.size(); }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

// A packed DIB: 40-byte header and 24-bit rows, bottom row first.
// `rgb` holds width * height colours (0xRRGGBB), top row first.
std::vector<uint8_t> PackedDib24(int width, int height, const std::vector<uint32_t>& rgb);

class WmfBuilder {
public:
    // Parameters are 16-bit words, in the order the record stores them.
    WmfBuilder& Record(uint16_t function, std::initializer_list<int16_t> words);
    WmfBuilder& Record(uint16_t function, const std::vector<uint8_t>& parameters);
    // With a placeable header (bounding box and units per inch) or without.
    std::vector<uint8_t> Placeable(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch,
                                   uint16_t objects = 16) const;
    std::vector<uint8_t> Plain(uint16_t objects = 16) const;

private:
    std::vector<uint8_t> Header(uint16_t objects) const;
    Bytes records_;
    uint32_t largest_ = 3;
};

class EmfBuilder {
public:
    EmfBuilder& Record(uint32_t type, const Bytes& fields);
    EmfBuilder& Record(uint32_t type, std::initializer_list<int32_t> fields);
    // Frame in 0.01 mm; the reference device is 96 pixels per inch, so the
    // frame (0, 0, 2540, 2540) is a 96 x 96 picture with logical = pixels.
    std::vector<uint8_t> Build(int32_t frameRight = 2540, int32_t frameBottom = 2540, uint16_t handles = 16) const;

private:
    Bytes records_;
    uint32_t count_ = 0;
};

// Colour of a pixel of a 24-bit or 8-bit bitmap as 0xRRGGBB.
uint32_t PixelRgb(const TBitmap& bitmap, int x, int y);
bool MaskBit(const TBitmap& mask, int x, int y);

// Peak signal-to-noise ratio over the RGB channels of two same-sized bitmaps.
double Psnr(const TBitmap& a, const TBitmap& b);

// Mean absolute channel difference (0..255) over the overlap of two bitmaps.
double MeanDifference(const TBitmap& a, const TBitmap& b);

// Runs a shell command; answers its exit status.
int RunShell(const std::string& command);
bool HaveProgram(const std::string& name);

// ffprobe's view of a video's first video stream: width, height,
// r_frame_rate, nb_frames (the container's count), nb_read_frames, duration.
std::map<std::string, std::string> ProbeVideo(const std::filesystem::path& video);

} // namespace animora::test
