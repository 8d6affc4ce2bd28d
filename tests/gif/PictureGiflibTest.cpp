// A GIF made from a photograph, as another program reads it: giflib must see
// the same size, the same colour table and the same pixels (as colours).
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <cstring>

#include "color/ColorTypes.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/SubImage.h"
#include "support/TestData.h"

namespace animora {
namespace {

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t position;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count)
{
    auto* input = static_cast<MemoryInput*>(file->UserData);
    const size_t n = std::min(static_cast<size_t>(count), input->bytes->size() - input->position);
    std::memcpy(buffer, input->bytes->data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

TEST(PictureGiflibTest, APhotographSavedAsGIFReadsTheSameInGiflib)
{
    TBitmap photo;
    photo.LoadFromFile((test::TestDataDir() / "pictures" / "hibiscus.regular.bmp").string());
    const struct {
        uint8_t mode, dither;
    } settings[] = {{crNetscape, dkNearest}, {crOptimized, dkFloydSteinberg}};
    for (const auto& s : settings) {
        TGIFImage image;
        image.SetReductionMode(s.mode);
        image.SetDitherStyle(s.dither);
        image.Assign(photo);
        const std::vector<uint8_t> bytes = test::SaveBytes(image);
        const TGIFSubImage& frame = *image.Images().SubImage(0);

        MemoryInput input{&bytes, 0};
        int code = 0;
        GifFileType* file = DGifOpen(&input, ReadFromMemory, &code);
        ASSERT_NE(file, nullptr) << GifErrorString(code);
        ASSERT_EQ(DGifSlurp(file), GIF_OK) << GifErrorString(file->Error);
        ASSERT_EQ(file->ImageCount, 1);
        const SavedImage& saved = file->SavedImages[0];
        EXPECT_EQ(saved.ImageDesc.Width, photo.Width());
        EXPECT_EQ(saved.ImageDesc.Height, photo.Height());
        const ColorMapObject* map = saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : file->SColorMap;
        ASSERT_NE(map, nullptr);
        const uint8_t* ours = frame.ColorMap().Entries();
        int mismatches = 0;
        for (size_t i = 0; i < frame.DataSize() && mismatches < 5; ++i) {
            const uint8_t index = saved.RasterBits[i];
            ASSERT_LT(index, map->ColorCount);
            const GifColorType color = map->Colors[index];
            const uint8_t* expected = ours + 3 * frame.Data()[i];
            if (color.Red != expected[0] || color.Green != expected[1] || color.Blue != expected[2])
                ADD_FAILURE() << "mode " << int(s.mode) << " pixel " << i << " (" << ++mismatches << ")";
        }
        DGifCloseFile(file, &code);
    }
}

} // namespace
} // namespace animora
