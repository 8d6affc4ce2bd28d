#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "color/ColorPalettes.h"
#include "color/ReduceColors.h"
#include "support/ColorPictures.h"
#include "support/TestData.h"

using namespace animora;
using animora::test::RGB;

namespace {

const TBitmap& Hibiscus()
{
    static const TBitmap picture = [] {
        TBitmap bitmap;
        bitmap.LoadFromFile((animora::test::TestDataDir() / "pictures" / "hibiscus.regular.bmp").string());
        return bitmap;
    }();
    return picture;
}

const TPalette& CustomPalette()
{
    static const TPalette palette = SixteenColorPalette();
    return palette;
}

// The palette a mode must produce for a picture, and how many of its colours
// the pixels may use.
TPalette ExpectedPalette(ColorReductionMode mode, const TBitmap& picture, int bits)
{
    TBitmap copy = picture;
    switch (mode) {
    case crWindows20: return MakeStockPalette();
    case crWindows256: return MakeHalftonePalette();
    case crWindowsGray: return MakeWindowsGrayPalette();
    case crMonochrome: return MakeMonochromePalette();
    case crGrayScale: return MakeGrayPalette();
    case crNetscape: return MakeNetscapePalette();
    case crOptimized: return MakeOptimizedPalette(copy, 1 << bits, 8, false);
    case crOptimizedWindows: return MakeOptimizedPalette(copy, 256, 8, true);
    case crCustomPalette: return CustomPalette();
    case crNone: break;
    }
    return TPalette();
}

void ExpectReducedTo(const TBitmap& result, const TPalette& expected, const std::string& name)
{
    ASSERT_EQ(result.GetPixelFormat(), PixelFormat::pf8bit) << name;
    ASSERT_EQ(result.Width(), Hibiscus().Width()) << name;
    ASSERT_EQ(result.Height(), Hibiscus().Height()) << name;
    ASSERT_EQ(result.Palette().Count(), 256) << name;
    for (int i = 0; i < expected.Count(); ++i) {
        const TPaletteEntry& got = result.Palette()[i];
        const TPaletteEntry& want = expected[i];
        ASSERT_EQ((RGB{got.red, got.green, got.blue}), (RGB{want.red, want.green, want.blue})) << name << " entry " << i;
    }
    std::set<int> used;
    for (int y = 0; y < result.Height(); ++y) {
        const uint8_t* row = result.ScanLine(y);
        for (int x = 0; x < result.Width(); ++x) {
            ASSERT_LT(row[x], expected.Count()) << name << " at " << x << "," << y;
            used.insert(row[x]);
        }
    }
    EXPECT_GE(used.size(), std::min(expected.Count(), 2)) << name << ": a real picture uses several colours";
}

class ReduceHibiscus : public testing::TestWithParam<std::tuple<int, int>> {};

} // namespace

TEST_P(ReduceHibiscus, GivesAnIndexedPictureOfTheModesPalette)
{
    const auto mode = static_cast<ColorReductionMode>(std::get<0>(GetParam()));
    const auto dither = static_cast<DitherKind>(std::get<1>(GetParam()));
    TBitmap source = Hibiscus();
    const auto result = ReduceBitmapColors(source, mode, dither, &CustomPalette(), 8);
    const std::string name = "mode " + std::to_string(mode) + " dither " + std::to_string(dither);
    if (mode == crNone) {
        EXPECT_TRUE(result->SamePicture(Hibiscus())) << "crNone keeps the true-colour picture";
        return;
    }
    EXPECT_EQ(source.GetPixelFormat(), PixelFormat::pf24bit);
    ExpectReducedTo(*result, ExpectedPalette(mode, Hibiscus(), 8), name);
}

INSTANTIATE_TEST_SUITE_P(AllModesAndKinds, ReduceHibiscus,
                         testing::Combine(testing::Range(0, kLastReductionMode + 1),
                                          testing::Range(0, kLastDitherKind + 1)));

TEST(ReduceBitmapColors, OptimizedPaletteFollowsTheReductionBits)
{
    for (int bits : {3, 5}) {
        TBitmap source = Hibiscus();
        const auto result = ReduceBitmapColors(source, crOptimized, dkFloydSteinberg, nullptr, bits);
        ExpectReducedTo(*result, ExpectedPalette(crOptimized, Hibiscus(), bits), "bits " + std::to_string(bits));
    }
}

TEST(ReduceBitmapColors, NothingToReduceGivesAnEmptyBitmap)
{
    const TPalette empty;
    const struct {
        const char* name;
        int mode;
        int dither;
        const TPalette* palette;
    } cases[] = {
        {"mode out of range", 10, 0, nullptr},
        {"dither kind out of range", crNetscape, 7, nullptr},
        {"custom mode without a palette", crCustomPalette, 1, nullptr},
        {"custom mode with an empty palette", crCustomPalette, 0, &empty},
    };
    for (const auto& c : cases) {
        TBitmap source = animora::test::MakePicture(800, 700, [](int x, int y) { return RGB{x & 255, y & 255, 9}; });
        const auto result = ReduceBitmapColors(source, static_cast<ColorReductionMode>(c.mode),
                                               static_cast<DitherKind>(c.dither), c.palette, 8);
        ASSERT_TRUE(result) << c.name;
        EXPECT_TRUE(result->Empty()) << c.name;
    }
}

TEST(ReduceBitmapColors, SourceOfAnotherFormatIsConvertedInPlace)
{
    TBitmap source(6, 4, PixelFormat::pf4bit);
    source.SetPixelColor(2, 1, MakeColor(255, 0, 0));
    const auto result = ReduceBitmapColors(source, crWindows20, dkNearest, nullptr, 8);
    EXPECT_EQ(source.GetPixelFormat(), PixelFormat::pf24bit);
    EXPECT_EQ(result->PixelColor(2, 1), MakeColor(255, 0, 0));
}

// The command line: exit 0 with the reduced file, 2 for wrong usage, 1 when
// a file cannot be read.
TEST(ReduceCommand, WritesTheReducedPicture)
{
    const auto dir = animora::test::MakeTempDir("reduce");
    const std::string in = (animora::test::TestDataDir() / "pictures" / "hibiscus.regular.bmp").string();
    const std::string out = (dir / "out.bmp").string();
    const std::string palette = (dir / "palette.bmp").string();
    TBitmap paletteBitmap(2, 2, PixelFormat::pf8bit);
    paletteBitmap.SetPalette(CustomPalette());
    paletteBitmap.SaveToFile(palette);

    const struct {
        std::string arguments;
        int exitCode;
        PixelFormat format;
    } cases[] = {
        {in + " " + out + " --mode 7 --bits 4 --dither 1", 0, PixelFormat::pf8bit},
        {in + " " + out + " --mode 0", 0, PixelFormat::pf24bit},
        {in + " " + out + " --mode 9 --palette " + palette, 0, PixelFormat::pf8bit},
        {in + " " + out + " --mode 9", 2, PixelFormat::pf8bit},
        {in + " " + out + " --mode 10", 2, PixelFormat::pf8bit},
        {in + " " + out + " --bits 9", 2, PixelFormat::pf8bit},
        {in + " " + out + " --dither x", 2, PixelFormat::pf8bit},
        {in, 2, PixelFormat::pf8bit},
        {(dir / "missing.bmp").string() + " " + out, 1, PixelFormat::pf8bit},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(out);
        const std::string command = std::string(ANIMORA_CLI_PATH) + " reduce " + c.arguments + " 2>/dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << c.arguments;
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.arguments;
        if (c.exitCode != 0)
            continue;
        TBitmap written;
        written.LoadFromFile(out);
        EXPECT_EQ(written.GetPixelFormat(), c.format) << c.arguments;
        EXPECT_EQ(written.Width(), 312);
    }
    std::filesystem::remove_all(dir);
}
