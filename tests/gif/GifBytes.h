#pragma once
// Builds GIF files byte by byte for the tests, and reads them into images.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "gif/GIFImage.h"
#include "support/TestData.h"

namespace animora::test {

class GifBytes {
public:
    GifBytes& Bytes(std::initializer_list<int> bytes);
    GifBytes& Bytes(const std::vector<uint8_t>& bytes);
    GifBytes& Text(const std::string& text);
    GifBytes& U16(int value);
    // "GIF89a", screen size, packed fields, background, aspect.
    GifBytes& Header(int width, int height, int packed = 0, const char* signature = "GIF89a");
    // An image descriptor at 0,0 with the packed byte given.
    GifBytes& Descriptor(int width, int height, int packed = 0);
    // Image data holding `pixels` compressed by the product's LZW encoder.
    GifBytes& PixelData(int bitsPerPixel, const std::vector<uint8_t>& pixels, int width, int height);

    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

struct Warnings {
    std::vector<std::string> messages;
    void Attach(TGIFImage& image);
};

// Saves an image into memory.
std::vector<uint8_t> SaveBytes(TGIFImage& image);
// Loads bytes into `image`, collecting warnings.
void LoadBytes(TGIFImage& image, const std::vector<uint8_t>& bytes, Warnings* warnings = nullptr);

} // namespace animora::test
