// Decoding JPEG files other programs make in forms the test pictures lack
// (CMYK), and headers that promise more than we accept.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <jpeglib.h>
#include <jerror.h>

#include "FormatsTestSupport.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

std::filesystem::path Picture(const char* name)
{
    return TestDataDir() / "pictures" / name;
}

TEST(JPEGDecoder, CmykFilesDecodeToTheirColours)
{
    const auto dir = MakeTempDir("animora-cmyk");
    const std::string cmyk = (dir / "cmyk.jpg").string();
    ASSERT_EQ(RunShell("convert " + Picture("hat.bmp").string() + " -colorspace CMYK -quality 95 " + cmyk), 0);
    ASSERT_EQ(RunShell("test \"$(identify -format '%[colorspace]' " + cmyk + ")\" = CMYK"), 0);
    TPicture decoded, original;
    decoded.LoadFromFile(cmyk);
    original.LoadFromFile(Picture("hat.bmp").string());
    EXPECT_EQ(decoded.Bitmap().GetPixelFormat(), PixelFormat::pf24bit);
    EXPECT_GT(Psnr(decoded.Bitmap(), original.Bitmap()), 25.0);
    std::filesystem::remove_all(dir);
}

// The frame header (SOF) of a real file, rewritten to promise a bigger
// picture: refused before anything that size is allocated.
TEST(JPEGDecoder, OversizedPicturesAreRefused)
{
    std::vector<uint8_t> bytes = ReadFileBytes(Picture("hippopotamus.jpeg"));
    size_t sof = 0;
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            sof = i;
            break;
        }
    }
    ASSERT_NE(sof, 0u);
    bytes[sof + 5] = bytes[sof + 6] = bytes[sof + 7] = bytes[sof + 8] = 0xFF;  // 65535 x 65535
    try {
        DecodeJPEG(bytes.data(), bytes.size());
        FAIL();
    } catch (const EJPEGError& error) {
        EXPECT_EQ(error.Code(), JERR_IMAGE_TOO_BIG);
    }
    TJPEGDecodeLimits small;
    small.maxPixels = 36 * 28 - 1;  // one pixel less than the real picture
    const std::vector<uint8_t> real = ReadFileBytes(Picture("hippopotamus.jpeg"));
    EXPECT_THROW(DecodeJPEG(real.data(), real.size(), {}, small), EJPEGError);
    small.maxPixels = 36 * 28;
    EXPECT_EQ(DecodeJPEG(real.data(), real.size(), {}, small).Width(), 36);
}

TEST(JPEGDecoder, EveryTruncationOfAFileIsHandled)
{
    // Cut the progressive file at every length: a picture with a warning or a
    // JPEG error, never anything else.
    const std::vector<uint8_t> bytes = ReadFileBytes(Picture("peacock.progressive.jpeg"));
    int pictures = 0, errors = 0;
    for (size_t length = 0; length <= bytes.size(); length += 7) {
        try {
            const TBitmap bitmap = DecodeJPEG(bytes.data(), length, [](const std::string&) {});
            EXPECT_EQ(bitmap.Width(), 100);
            ++pictures;
        } catch (const EJPEGError&) {
            ++errors;
        }
    }
    EXPECT_GT(pictures, 0);
    EXPECT_GT(errors, 0);
}

} // namespace
