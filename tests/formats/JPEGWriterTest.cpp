// The JPEG writer: files at several qualities and in grayscale, read back by
// libjpeg's own djpeg and by ImageMagick, and by our decoder.
#include <gtest/gtest.h>

#include <filesystem>

#include "FormatsTestSupport.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

class JPEGWriter : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = MakeTempDir("animora-jpeg");
        source_.LoadFromFile((TestDataDir() / "pictures" / "hibiscus.regular.bmp").string());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const TJPEGOptions& options, const std::string& name)
    {
        const std::string path = (dir_ / name).string();
        TFileStream stream(path, FileMode::Create);
        EncodeJPEG(source_.Bitmap(), options, stream);
        stream.Close();
        return path;
    }

    std::filesystem::path dir_;
    TPicture source_;
};


TEST_F(JPEGWriter, QualitiesOpenElsewhereAndShrinkWithQuality)
{
    ASSERT_TRUE(HaveProgram("djpeg") && HaveProgram("identify"));
    uintmax_t previousSize = UINTMAX_MAX;
    double previousPsnr = 99;
    for (const int quality : {100, 90, 50, 0}) {
        SCOPED_TRACE(quality);
        const std::string path = Write({quality, false, 0}, "q" + std::to_string(quality) + ".jpg");
        EXPECT_EQ(RunShell("djpeg -pnm -outfile " + path + ".ppm " + path), 0);
        EXPECT_EQ(RunShell("test \"$(identify -format '%w %h %m' " + path + ")\" = '312 442 JPEG'"), 0);
        const uintmax_t size = std::filesystem::file_size(path);
        EXPECT_LT(size, previousSize);
        previousSize = size;
        TPicture back;
        back.LoadFromFile(path);
        const double psnr = Psnr(source_.Bitmap(), back.Bitmap());
        EXPECT_LT(psnr, previousPsnr);
        EXPECT_GT(psnr, quality >= 90 ? 30.0 : 15.0);
        previousPsnr = psnr;
    }
}

TEST_F(JPEGWriter, GrayscaleWritesOneComponent)
{
    const std::string path = Write({90, true, 0}, "grey.jpg");
    EXPECT_EQ(RunShell("test \"$(identify -format '%[channels]' " + path + ")\" = 'gray'"), 0);
    EXPECT_EQ(RunShell("djpeg -outfile " + path + ".pgm " + path), 0);
    TPicture back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Bitmap().GetPixelFormat(), PixelFormat::pf8bit);
    EXPECT_EQ(back.Width(), 312);
}

TEST_F(JPEGWriter, SmoothingSoftensThePicture)
{
    const std::string sharp = Write({90, false, 0}, "sharp.jpg");
    const std::string smooth = Write({90, false, 100}, "smooth.jpg");
    EXPECT_LT(std::filesystem::file_size(smooth), std::filesystem::file_size(sharp));
}

TEST_F(JPEGWriter, PaletteBitmapsAreWrittenInColour)
{
    TPicture palette;
    palette.LoadFromFile((TestDataDir() / "bmpsuite" / "pal8.bmp").string());
    ASSERT_TRUE(IsPaletteFormat(palette.Bitmap().GetPixelFormat()));
    TMemoryStream stream;
    EncodeJPEG(palette.Bitmap(), {}, stream);
    const TBitmap back = DecodeJPEG(stream.Memory(), size_t(stream.Size()));
    EXPECT_GT(Psnr(palette.Bitmap(), back), 25.0);
}

TEST_F(JPEGWriter, EmptyBitmapIsAJPEGError)
{
    TMemoryStream stream;
    EXPECT_THROW(EncodeJPEG(TBitmap(), {}, stream), EJPEGError);
    EXPECT_EQ(stream.Size(), 0);
}

} // namespace
