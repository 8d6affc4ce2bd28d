#include "support/GiflibFrame.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "gif/GIFImage.h"
#include "gif/SubImage.h"

namespace animora::test {

namespace {

struct TMemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t position;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count)
{
    auto* input = static_cast<TMemoryInput*>(file->UserData);
    const size_t n = std::min(static_cast<size_t>(count), input->bytes->size() - input->position);
    std::memcpy(buffer, input->bytes->data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

void PutU16(std::vector<uint8_t>& out, int value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

} // namespace

std::vector<uint8_t> WrapFrameInGIF(const std::vector<uint8_t>& imageData, int width, int height, bool interlaced)
{
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(0xF7);  // global table of 256 entries
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 256; ++i)
        out.insert(out.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    out.push_back(0x2C);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(interlaced ? 0x40 : 0x00);
    out.insert(out.end(), imageData.begin(), imageData.end());
    out.push_back(0x3B);
    return out;
}

std::optional<std::vector<uint8_t>> DecodeWithGiflib(const std::vector<uint8_t>& gifFile)
{
    TMemoryInput input{&gifFile, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&input, ReadFromMemory, &error);
    if (!file)
        return std::nullopt;
    std::optional<std::vector<uint8_t>> result;
    if (DGifSlurp(file) == GIF_OK && file->ImageCount > 0) {
        const SavedImage& image = file->SavedImages[0];
        const size_t count = static_cast<size_t>(image.ImageDesc.Width) * static_cast<size_t>(image.ImageDesc.Height);
        result.emplace(image.RasterBits, image.RasterBits + count);
    }
    DGifCloseFile(file, &error);
    return result;
}

std::vector<std::vector<uint8_t>> DecodeAllWithGiflib(const std::vector<uint8_t>& gifFile, std::string& error)
{
    TMemoryInput input{&gifFile, 0};
    int code = 0;
    GifFileType* file = DGifOpen(&input, ReadFromMemory, &code);
    std::vector<std::vector<uint8_t>> frames;
    if (!file) {
        error = GifErrorString(code);
        return frames;
    }
    if (DGifSlurp(file) != GIF_OK)
        error = GifErrorString(file->Error);
    for (int i = 0; error.empty() && i < file->ImageCount; ++i) {
        const SavedImage& image = file->SavedImages[i];
        const size_t count = static_cast<size_t>(image.ImageDesc.Width) * static_cast<size_t>(image.ImageDesc.Height);
        frames.emplace_back(image.RasterBits, image.RasterBits + count);
    }
    DGifCloseFile(file, &code);
    return frames;
}

void ExpectGiflibReadsTheSame(const TGIFImage& image, const std::vector<uint8_t>& gifFile, const std::string& what)
{
    std::string error;
    const auto decoded = DecodeAllWithGiflib(gifFile, error);
    ASSERT_TRUE(error.empty()) << what << ": giflib: " << error;
    std::vector<const TGIFSubImage*> frames;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (!image.Images().SubImage(i)->IsEmpty())
            frames.push_back(image.Images().SubImage(i));
    ASSERT_EQ(decoded.size(), frames.size()) << what;
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::vector<uint8_t> ours(frames[i]->Data(), frames[i]->Data() + frames[i]->DataSize());
        EXPECT_TRUE(decoded[i] == ours) << what << " frame " << i;
    }
}

} // namespace animora::test
