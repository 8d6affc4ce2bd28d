// The picture loader over the real files in testdata/pictures, the choice of
// reader by extension, and the failure texts for damaged files.
#include <gtest/gtest.h>

#include "FormatsTestSupport.h"
#include "formats/Picture.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

struct SizeCase {
    const char* file;
    int width, height;
};

const SizeCase kPictures[] = {
    {"bricks-color.bmp", 160, 120},         {"bricks-color.jpeg", 160, 120},
    {"hat.bmp", 90, 112},                   {"hat.jpeg", 90, 112},
    {"hibiscus.regular.bmp", 312, 442},     {"hibiscus.regular.jpeg", 312, 442},
    {"hippopotamus.bmp", 36, 28},           {"hippopotamus.jpeg", 36, 28},
    {"hippopotamus.regular.ico", 36, 28},   {"mona-lisa.21x32.q50.jpeg", 21, 32},
    {"peacock.default.truncated.jpeg", 100, 75}, {"peacock.grayscale.jpeg", 100, 75},
    {"peacock.progressive.jpeg", 100, 75},
};

std::string PicturePath(const std::string& name)
{
    return (TestDataDir() / "pictures" / name).string();
}

TEST(PictureLoader, EveryTestPictureLoadsWithItsSize)
{
    for (const SizeCase& c : kPictures) {
        SCOPED_TRACE(c.file);
        TPicture picture;
        picture.LoadFromFile(PicturePath(c.file));
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
    }
    // Every picture of the folder is in the table.
    size_t files = 0;
    for (const char* ext : {".bmp", ".jpeg", ".ico"})
        files += FilesIn("pictures", ext).size();
    EXPECT_EQ(files, std::size(kPictures));
}

// The JPEG files of these pairs are lossy copies of the bitmaps: ImageMagick
// measures 29.7, 28.0, 32.9 and 33.8 dB between them. Ours must measure the
// same (our decoding is libjpeg's, as djpeg's is) and stay well above the
// 20 dB or so that a misplaced or miscoloured picture gives.
TEST(PictureLoader, BitmapAndJPEGOfTheSamePictureLookAlike)
{
    const std::pair<const char*, double> pairs[] = {
        {"bricks-color", 29.69}, {"hat", 28.03}, {"hibiscus.regular", 32.86}, {"hippopotamus", 33.80}};
    for (const auto& [name, expected] : pairs) {
        SCOPED_TRACE(name);
        TPicture bmp, jpeg;
        bmp.LoadFromFile(PicturePath(std::string(name) + ".bmp"));
        jpeg.LoadFromFile(PicturePath(std::string(name) + ".jpeg"));
        ASSERT_EQ(bmp.Width(), jpeg.Width());
        EXPECT_NEAR(Psnr(bmp.Bitmap(), jpeg.Bitmap()), expected, 0.3);
    }
}

TEST(PictureLoader, JPEGDecodesAsDjpegDoes)
{
    ASSERT_TRUE(HaveProgram("djpeg"));
    const auto dir = MakeTempDir("animora-djpeg");
    for (const auto& path : FilesIn("pictures", ".jpeg")) {
        SCOPED_TRACE(path.filename().string());
        const std::string bmpPath = (dir / "out.bmp").string();
        const int status = RunShell("djpeg -bmp -outfile " + bmpPath + " " + path.string() + " 2>/dev/null");
        ASSERT_TRUE(status == 0 || status == 2);  // 2: decoded with warnings (the truncated file)
        TPicture ours, theirs;
        ours.LoadFromFile(path.string());
        theirs.LoadFromFile(bmpPath);
        EXPECT_GT(Psnr(ours.Bitmap(), theirs.Bitmap()), 50.0);
    }
    std::filesystem::remove_all(dir);
}

TEST(PictureLoader, IconMatchesItsBitmapWhereOpaque)
{
    TPicture icon, bmp;
    icon.LoadFromFile(PicturePath("hippopotamus.regular.ico"));
    bmp.LoadFromFile(PicturePath("hippopotamus.bmp"));
    ASSERT_TRUE(icon.HasMask());
    int opaque = 0, close = 0;
    for (int y = 0; y < icon.Height(); ++y) {
        for (int x = 0; x < icon.Width(); ++x) {
            if (MaskBit(icon.Mask(), x, y))
                continue;
            ++opaque;
            const uint32_t a = PixelRgb(icon.Bitmap(), x, y), b = PixelRgb(bmp.Bitmap(), x, y);
            close += std::abs(int(a >> 16) - int(b >> 16)) < 40 && std::abs(int(a & 0xFF) - int(b & 0xFF)) < 40;
        }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(close, opaque * 9 / 10);
}

TEST(PictureLoader, GrayscaleJPEGIsAnEightBitGreyPicture)
{
    TPicture picture;
    picture.LoadFromFile(PicturePath("peacock.grayscale.jpeg"));
    EXPECT_EQ(picture.Bitmap().GetPixelFormat(), PixelFormat::pf8bit);
    EXPECT_EQ(picture.Bitmap().Palette().Count(), 256);
    const uint32_t c = PixelRgb(picture.Bitmap(), 50, 40);
    EXPECT_EQ(c >> 16, c & 0xFF);
}

TEST(PictureLoader, TruncatedJPEGKeepsThePartialPictureAndWarns)
{
    TPicture picture;
    std::vector<std::string> warnings;
    picture.OnWarning = [&](const std::string& message) { warnings.push_back(message); };
    picture.LoadFromFile(PicturePath("peacock.default.truncated.jpeg"));
    EXPECT_EQ(picture.Width(), 100);
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings.front().find("Premature end"), std::string::npos);
}

TEST(PictureLoader, ExtensionChoosesTheKind)
{
    const std::pair<const char*, PictureKind> cases[] = {
        {"gif", PictureKind::pkGIF},          {"JPG", PictureKind::pkJPEG},  {".jpeg", PictureKind::pkJPEG},
        {"Bmp", PictureKind::pkBitmap},       {"ico", PictureKind::pkIcon},  {"WMF", PictureKind::pkMetafile},
        {"emf", PictureKind::pkEnhMetafile},
    };
    for (const auto& [ext, kind] : cases)
        EXPECT_EQ(PictureKindForExtension(ext), kind) << ext;
    for (const char* name : {"x.png", "x.Tiff", "noextension"}) {
        TPicture picture;
        const std::string ext = LowerExtension(name) == "" ? "" : std::string(name).substr(2);
        try {
            picture.LoadFromFile(name);
            ADD_FAILURE() << name;
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(std::string(error.what()), "Unknown picture file extension (." + ext + ")");
        }
    }
}

TEST(PictureLoader, DamagedFilesGiveTheirKindsMessage)
{
    const std::vector<uint8_t> garbage(64, 0x5A);
    const std::vector<uint8_t> empty;
    const std::pair<PictureKind, const char*> cases[] = {
        {PictureKind::pkBitmap, "Bitmap image is not valid"},
        {PictureKind::pkIcon, "Icon image is not valid"},
        {PictureKind::pkMetafile, "Metafile is not valid"},
        {PictureKind::pkEnhMetafile, "Metafile is not valid"},
        {PictureKind::pkJPEG, "JPEG error #"},
    };
    for (const auto& [kind, message] : cases) {
        for (const auto* bytes : {&garbage, &empty}) {
            TPicture picture;
            try {
                picture.LoadFromBytes(bytes->data(), bytes->size(), kind);
                ADD_FAILURE() << message;
            } catch (const EInvalidGraphic& error) {
                EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
            }
            EXPECT_TRUE(picture.Empty());
        }
    }
}

TEST(PictureLoader, JPEGErrorCarriesLibjpegsNumber)
{
    // SOI then a marker libjpeg rejects before any frame header.
    const std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xD9};
    try {
        DecodeJPEG(bytes.data(), bytes.size());
        FAIL();
    } catch (const EJPEGError& error) {
        EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(error.Code()));
        EXPECT_GT(error.Code(), 0);
    }
}

TEST(PictureLoader, FailedLoadKeepsThePreviousPicture)
{
    TPicture picture;
    picture.LoadFromFile(PicturePath("hat.bmp"));
    const std::vector<uint8_t> garbage(10, 1);
    EXPECT_THROW(picture.LoadFromBytes(garbage.data(), garbage.size(), PictureKind::pkJPEG), EInvalidGraphic);
    EXPECT_EQ(picture.Kind(), PictureKind::pkBitmap);
    EXPECT_EQ(picture.Width(), 90);
}

TEST(PictureLoader, GIFIsKeptForTheCodec)
{
    const auto gifs = FilesIn("corpus", ".gif");
    ASSERT_FALSE(gifs.empty());
    TPicture picture;
    picture.LoadFromFile(gifs.front().string());
    EXPECT_EQ(picture.Kind(), PictureKind::pkGIF);
    EXPECT_EQ(picture.GIFData(), ReadFileBytes(gifs.front()));
}

} // namespace
