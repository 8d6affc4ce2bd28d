// animora-cli convert from every picture kind to GIF, BMP and JPEG, the
// GIFs read back by giflib: sizes, and the transparency icons and metafiles
// carry into the frame.
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <filesystem>
#include <optional>

#include "FormatsTestSupport.h"
#include "formats/Picture.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

std::string Cli() { return ANIMORA_CLI_PATH; }

int RunConvert(const std::string& arguments)
{
    return RunShell(Cli() + " convert " + arguments + " 2>/dev/null");
}

// The first frame as giflib sees it.
struct GiflibFrame {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint32_t> colors;  // 0xRRGGBB
    int transparent = NO_TRANSPARENT_COLOR;

    uint32_t Rgb(int x, int y) const { return colors.at(pixels.at(size_t(y * width + x))); }
};

std::optional<GiflibFrame> ReadWithGiflib(const std::filesystem::path& path)
{
    int error = 0;
    GifFileType* file = DGifOpenFileName(path.c_str(), &error);
    if (!file)
        return std::nullopt;
    std::optional<GiflibFrame> frame;
    if (DGifSlurp(file) == GIF_OK && file->ImageCount > 0) {
        const SavedImage& image = file->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
        frame.emplace();
        frame->width = image.ImageDesc.Width;
        frame->height = image.ImageDesc.Height;
        frame->pixels.assign(image.RasterBits, image.RasterBits + size_t(frame->width) * size_t(frame->height));
        for (int i = 0; map && i < map->ColorCount; ++i) {
            const GifColorType c = map->Colors[i];
            frame->colors.push_back(uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue);
        }
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        if (DGifSavedExtensionToGCB(file, 0, &control) == GIF_OK)
            frame->transparent = control.TransparentColor;
    }
    DGifCloseFile(file, &error);
    return frame;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    TFileStream stream(path.string(), FileMode::Create);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

class Convert : public testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempDir("animora-convert"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(Convert, EveryTestPictureBecomesGifBmpAndJpeg)
{
    std::vector<std::filesystem::path> inputs;
    for (const char* ext : {".bmp", ".jpeg", ".ico"})
        for (const auto& path : FilesIn("pictures", ext))
            inputs.push_back(path);
    ASSERT_EQ(inputs.size(), std::distance(std::filesystem::directory_iterator(TestDataDir() / "pictures"),
                                           std::filesystem::directory_iterator()));
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        TPicture source;
        source.LoadFromFile(input.string());
        const std::string size = std::to_string(source.Width()) + " " + std::to_string(source.Height());
        for (const std::string options : {".gif", ".gif --mode 4 --dither 1 --encoding rle", ".bmp",
                                          ".jpg --quality 40", ".jpeg --grayscale --smoothing 20"}) {
            const std::string ext = options.substr(0, options.find(' '));
            const auto output = dir_ / (input.filename().string() + ext);
            ASSERT_EQ(RunConvert(input.string() + " " + output.string() + options.substr(ext.size())), 0) << options;
            if (ext == ".gif") {
                const auto frame = ReadWithGiflib(output);
                ASSERT_TRUE(frame) << options;
                EXPECT_EQ(std::to_string(frame->width) + " " + std::to_string(frame->height), size);
            } else {
                EXPECT_EQ(RunShell("test \"$(identify -format '%w %h' " + output.string() + ")\" = \"" + size + "\""),
                          0) << output;
            }
        }
    }
}

// 8 x 8 icon, 4 bits, every pixel red; the AND mask hides the left half.
std::vector<uint8_t> HalfMaskedIcon()
{
    Bytes dib;
    dib.U32(40).S32(8).S32(16).U16(1).U16(4).U32(0).U32(0).U32(0).U32(0).U32(16).U32(0);
    dib.U32(0).U32(0x00FF0000);
    for (int i = 2; i < 16; ++i)
        dib.U32(0);
    for (int row = 0; row < 8; ++row)
        dib.U32(0x11111111);
    for (int row = 0; row < 8; ++row)
        dib.U8(0xF0).U8(0).U8(0).U8(0);
    Bytes file;
    file.U16(0).U16(1).U16(1).U8(8).U8(8).U8(0).U8(0).U16(1).U16(4);
    file.U32(uint32_t(dib.Size())).U32(22).Append(dib.Data());
    return file.Data();
}

// 40 x 40 picture, one logical unit per pixel: a red square at 10,10-30,30
// drawn with a null pen; the rest is never painted.
std::vector<uint8_t> SquareWmf()
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {40, 40});
    wmf.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {0});
    wmf.Record(0x02FC, {0, 0x00FF, 0x0000, 0}).Record(0x012D, {1});
    wmf.Record(0x041B, {30, 30, 10, 10});
    return wmf.Placeable(0, 0, 40, 40, 96);
}

std::vector<uint8_t> SquareEmf()
{
    EmfBuilder emf;
    emf.Record(39, {1, 0, 0x0000FF, 0}).Record(37, {1});         // red brush
    emf.Record(38, {2, 5, 0, 0, 0}).Record(37, {2});             // null pen
    Bytes box;
    box.S32(10).S32(10).S32(30).S32(30);
    emf.Record(43, box);
    return emf.Build(1058, 1058);  // 40 x 40 at 96 pixels per inch
}

// Where the source shows what lies beneath, the frame has the transparent
// index of its graphic control; elsewhere it keeps the source's colour.
TEST_F(Convert, MaskedAreasBecomeTheTransparentIndex)
{
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        int width;
        bool (*transparent)(int x, int y);
    } cases[] = {
        {"icon.ico", HalfMaskedIcon(), 8, [](int x, int) { return x < 4; }},
        {"square.wmf", SquareWmf(), 40, [](int x, int y) { return x < 10 || y < 10 || x >= 30 || y >= 30; }},
        {"square.emf", SquareEmf(), 40, [](int x, int y) { return x < 10 || y < 10 || x >= 30 || y >= 30; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto input = dir_ / c.name;
        const auto output = dir_ / (std::string(c.name) + ".gif");
        WriteFile(input, c.bytes);
        ASSERT_EQ(RunConvert(input.string() + " " + output.string()), 0);
        const auto frame = ReadWithGiflib(output);
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->width, c.width);
        ASSERT_NE(frame->transparent, NO_TRANSPARENT_COLOR);
        int wrong = 0;
        for (int y = 0; y < frame->height; ++y)
            for (int x = 0; x < frame->width; ++x) {
                const int index = frame->pixels[size_t(y * frame->width + x)];
                const bool expected = c.transparent(x, y);
                wrong += (index == frame->transparent) != expected;
                wrong += !expected && frame->Rgb(x, y) != 0xFF0000;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Convert, JpegAndGifRoundTrips)
{
    const auto jpeg = TestDataDir() / "pictures" / "hat.jpeg";
    const auto gif = dir_ / "hat.gif", back = dir_ / "hat.jpg";
    ASSERT_EQ(RunConvert(jpeg.string() + " " + gif.string() + " --mode 7 --dither 1"), 0);
    ASSERT_EQ(RunConvert(gif.string() + " " + back.string() + " --quality 95"), 0);
    TPicture original, viaGif, written;
    original.LoadFromFile(jpeg.string());
    viaGif.LoadFromFile(gif.string());
    written.LoadFromFile(back.string());
    EXPECT_GT(Psnr(original.Bitmap(), viaGif.Bitmap()), 25.0);
    EXPECT_GT(Psnr(viaGif.Bitmap(), written.Bitmap()), 30.0);
}

TEST_F(Convert, WrongUsageAndBadFiles)
{
    const std::string bmp = (TestDataDir() / "pictures" / "hat.bmp").string();
    const std::string out = (dir_ / "out.jpg").string();
    WriteFile(dir_ / "picture.png", {1, 2, 3});
    WriteFile(dir_ / "broken.ico", {0, 0, 1, 0, 1, 0});
    const std::pair<std::string, int> cases[] = {
        {bmp + " " + (dir_ / "out.png").string(), 2},
        {bmp + " " + out + " --quality 101", 2},
        {bmp + " " + out + " --bits 9", 2},
        {bmp, 2},
        {(dir_ / "missing.bmp").string() + " " + out, 1},
        {(dir_ / "picture.png").string() + " " + out, 1},
        {(dir_ / "broken.ico").string() + " " + (dir_ / "out.gif").string(), 1},
    };
    for (const auto& [args, status] : cases)
        EXPECT_EQ(RunConvert(args), status) << args;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.gif"));
}

} // namespace
