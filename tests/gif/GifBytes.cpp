#include "gif/GifBytes.h"

#include "gif/Encoders.h"

namespace animora::test {

GifBytes& GifBytes::Bytes(std::initializer_list<int> bytes)
{
    for (int b : bytes)
        data_.push_back(static_cast<uint8_t>(b));
    return *this;
}

GifBytes& GifBytes::Bytes(const std::vector<uint8_t>& bytes)
{
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

GifBytes& GifBytes::Text(const std::string& text)
{
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
}

GifBytes& GifBytes::U16(int value)
{
    return Bytes({value & 0xFF, (value >> 8) & 0xFF});
}

GifBytes& GifBytes::Header(int width, int height, int packed, const char* signature)
{
    return Text(signature).U16(width).U16(height).Bytes({packed, 0, 0});
}

GifBytes& GifBytes::Descriptor(int width, int height, int packed)
{
    return Bytes({0x2C}).U16(0).U16(0).U16(width).U16(height).Bytes({packed});
}

GifBytes& GifBytes::PixelData(int bitsPerPixel, const std::vector<uint8_t>& pixels, int width, int height)
{
    TMemoryStream stream;
    EncodeGIFPixels(stream, 0, bitsPerPixel, 1 << bitsPerPixel, pixels.data(), false, height, width);
    return Bytes(stream.Bytes());
}

void Warnings::Attach(TGIFImage& image)
{
    image.WarningHandler = [this](TPersistent&, int, const std::string& message) { messages.push_back(message); };
}

std::vector<uint8_t> SaveBytes(TGIFImage& image)
{
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

void LoadBytes(TGIFImage& image, const std::vector<uint8_t>& bytes, Warnings* warnings)
{
    if (warnings)
        warnings->Attach(image);
    TBytesViewStream stream(bytes.data(), bytes.size());
    image.LoadFromStream(stream);
}

} // namespace animora::test
