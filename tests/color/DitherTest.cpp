#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "color/ColorPalettes.h"
#include "color/DitherEngine.h"
#include "color/ErrorDiffusion.h"
#include "color/ReduceColors.h"
#include "support/ColorPictures.h"

using namespace animora;
using animora::test::RGB;

namespace {

constexpr DitherKind kAllKinds[] = {dkNearest,           dkFloydSteinberg, dkStucki, dkSierra,
                                    dkJarvisJudiceNinke, dkStevensonArce,  dkBurkes};

// Remembers the colours it was asked for, answers index 0 (black).
class RecordingLookup : public TColorLookup {
public:
    RecordingLookup() : TColorLookup(1) {}
    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        seen.push_back({red, green, blue});
        outRed = outGreen = outBlue = 0;
        return 0;
    }
    std::vector<RGB> seen;
};

// Runs the engine over a picture of B,G,R rows the way the driver does.
std::vector<uint8_t> Dither(DitherKind kind, TColorLookup& lookup, const TBitmap& picture)
{
    auto engine = MakeDitherEngine(kind, picture.Width(), lookup);
    std::vector<uint8_t> indices(static_cast<size_t>(picture.Width()) * picture.Height());
    for (int y = 0; y < picture.Height(); ++y) {
        engine->DitherRow(picture.ScanLine(y), indices.data() + static_cast<size_t>(y) * picture.Width());
        engine->NextRow();
    }
    return indices;
}

TBitmap Gray(int width, int height, int level)
{
    return animora::test::MakePicture(width, height, [=](int, int) { return RGB{level, level, level}; });
}

} // namespace

TEST(DitherEngines, VisitRowsInSerpentineOrder)
{
    // Black pixels under a lookup that answers black: nothing is diffused.
    for (DitherKind kind : kAllKinds) {
        RecordingLookup lookup;
        auto engine = MakeDitherEngine(kind, 3, lookup);
        ASSERT_TRUE(engine);
        std::vector<std::pair<int, int>> visits;
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(engine->Direction(), y == 0 ? 1 : -1);
            while (engine->Column() >= 0 && engine->Column() < 3) {
                visits.emplace_back(engine->Column(), y);
                int r, g, b;
                engine->DitherPixel(0, 0, 0, r, g, b);
            }
            engine->NextRow();
        }
        const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}};
        EXPECT_EQ(visits, expected) << "kind " << int(kind);
        EXPECT_EQ(lookup.seen.size(), 6u);
    }
}

TEST(DitherEngines, ColorsOfThePaletteComeOutUnchanged)
{
    const struct {
        const char* name;
        ColorReductionMode mode;
        TPalette palette;
    } cases[] = {
        {"system colours", crWindows20, MakeStockPalette()},
        {"windows grays", crWindowsGray, MakeWindowsGrayPalette()},
        {"monochrome", crMonochrome, MakeMonochromePalette()},
        {"gray scale", crGrayScale, MakeGrayPalette()},
        {"netscape", crNetscape, MakeNetscapePalette()},
        {"custom", crCustomPalette, TPalette({{12, 200, 99, 0}, {250, 3, 40, 0}, {77, 77, 160, 0}})},
    };
    for (const auto& c : cases) {
        for (DitherKind kind : kAllKinds) {
            TBitmap picture = animora::test::PictureFromPalette(13, 7, c.palette);
            const TBitmap original = picture;
            const auto result = ReduceBitmapColors(picture, c.mode, kind, &c.palette, 8);
            ASSERT_EQ(result->Width(), 13);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(animora::test::ColorAt(*result, x, y), animora::test::ColorAt(original, x, y))
                        << c.name << " kind " << int(kind) << " at " << x << "," << y;
        }
    }
}

TEST(DitherEngines, MidGrayOnBlackAndWhite)
{
    TMonochromeLookup lookup;
    const TBitmap gray = Gray(16, 16, 128);
    const std::vector<uint8_t> nearest = Dither(dkNearest, lookup, gray);
    EXPECT_EQ(std::count(nearest.begin(), nearest.end(), 1), 256) << "nearest: all white";
    for (DitherKind kind : kAllKinds) {
        if (kind == dkNearest)
            continue;
        const std::vector<uint8_t> mixed = Dither(kind, lookup, gray);
        const auto whites = std::count(mixed.begin(), mixed.end(), 1);
        EXPECT_GT(whites, 96) << int(kind);
        EXPECT_LT(whites, 160) << int(kind);
    }
}

// One row 127, 255, 120 under black and white: 127 becomes black with error
// +127; 255 plus its share overflows and is clamped, so its error is 0 and
// 120 stays black. Without the clamp the error 56 would turn 120 white.
TEST(DitherEngines, ClampsBeforeTheLookupAndTheError)
{
    const TBitmap row = animora::test::MakePicture(3, 1, [](int x, int) {
        const int levels[] = {127, 255, 120};
        return RGB{levels[x], levels[x], levels[x]};
    });
    TMonochromeLookup lookup;
    EXPECT_EQ(Dither(dkFloydSteinberg, lookup, row), (std::vector<uint8_t>{0, 1, 0}));
}

// Floyd-Steinberg as the carried-row description has it, as an independent
// check of the kernel-table engine: E = 7 x error of the previous pixel of the
// row + the value carried for the column, 3/5/1 of the row above.
TEST(DitherEngines, FloydSteinbergMatchesTheCarriedRowFormulation)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> level(0, 255);
    const int width = 9, height = 6;
    const TBitmap picture =
        animora::test::MakePicture(width, height, [&](int, int) { return RGB{level(random), level(random), level(random)}; });
    TNetscapeColorLookup lookup;
    const std::vector<uint8_t> engine = Dither(dkFloydSteinberg, lookup, picture);

    std::vector<uint8_t> expected(width * height);
    std::vector<std::array<int, 3>> previousErrors(width, {0, 0, 0});
    int previousDirection = -1;
    for (int y = 0; y < height; ++y) {
        const int d = y % 2 == 0 ? 1 : -1;
        std::vector<std::array<int, 3>> errors(width, {0, 0, 0});
        std::array<int, 3> ahead = {0, 0, 0};
        for (int i = 0; i < width; ++i) {
            const int c = d > 0 ? i : width - 1 - i;
            const uint8_t* pixel = picture.ScanLine(y) + 3 * c;
            const int input[3] = {pixel[2], pixel[1], pixel[0]};
            int adjusted[3];
            for (int ch = 0; ch < 3; ++ch) {
                auto errorAt = [&](int column) {
                    return y > 0 && column >= 0 && column < width ? previousErrors[column][ch] : 0;
                };
                const int carried = 3 * errorAt(c + previousDirection) + 5 * errorAt(c) + errorAt(c - previousDirection);
                const int e = 7 * ahead[ch] + carried;
                adjusted[ch] = std::clamp(input[ch] + (e + 8) / 16, 0, 255);
            }
            int out[3];
            expected[y * width + c] = lookup.MatchColor(adjusted[0], adjusted[1], adjusted[2], out[0], out[1], out[2]);
            for (int ch = 0; ch < 3; ++ch)
                errors[c][ch] = ahead[ch] = adjusted[ch] - out[ch];
        }
        previousErrors = errors;
        previousDirection = d;
    }
    EXPECT_EQ(engine, expected);

    // The kernel-table engine that the other kernels use gives the same.
    TErrorDiffusionDitherer<TNetscapeColorLookup, FloydSteinbergKernel> table(width, lookup);
    std::vector<uint8_t> tabled(width * height);
    for (int y = 0; y < height; ++y) {
        table.DitherRow(picture.ScanLine(y), tabled.data() + y * width);
        table.NextRow();
    }
    EXPECT_EQ(tabled, expected);
}

TEST(DitherEngines, OnePixelWidePicturesWork)
{
    TNetscapeColorLookup lookup;
    const TBitmap column = animora::test::MakePicture(1, 9, [](int, int y) { return RGB{y * 25, 90, 250 - y * 20}; });
    for (DitherKind kind : kAllKinds) {
        const std::vector<uint8_t> indices = Dither(kind, lookup, column);
        for (uint8_t index : indices)
            EXPECT_LT(index, 216) << int(kind);
    }
}

TEST(DitherEngines, UnknownKindHasNoEngine)
{
    TMonochromeLookup lookup;
    EXPECT_EQ(MakeDitherEngine(static_cast<DitherKind>(7), 4, lookup), nullptr);
}
