// The four effects on composed frames: 8-bit pictures whose palette index
// says where a pixel came from, checked against the geometry each effect
// promises (walls, windows, bands) and rain's statistics.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "effects/Effects.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Bitmap.h"
#include "support/TestData.h"

namespace animora {
namespace {

using namespace effects;
using Pattern = std::function<int(int x, int y)>;

// Grays 0..253 (a coordinate up to 253 is its own gray), then red and blue.
constexpr int kRed = 254, kBlue = 255;
TPalette TestPalette()
{
    std::vector<TPaletteEntry> entries;
    for (int i = 0; i < 254; ++i)
        entries.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0});
    entries.push_back({255, 0, 0, 0});
    entries.push_back({0, 0, 255, 0});
    return TPalette(entries);
}

TBitmap Picture(int width, int height, const Pattern& pattern)
{
    TBitmap bitmap(width, height, PixelFormat::pf8bit);
    bitmap.SetPalette(TestPalette());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.ScanLine(y)[x] = static_cast<uint8_t>(pattern(x, y));
    return bitmap;
}

const Pattern kAllRed = [](int, int) { return kRed; };
const Pattern kAllBlue = [](int, int) { return kBlue; };
const Pattern kByRow = [](int, int y) { return y; };
const Pattern kByColumn = [](int x, int) { return x; };

// The palette index of pixel (x, y) of frame i, read through its colour.
int At(TGIFImage& image, int i, int x, int y)
{
    const TColor color = image.Images().SubImage(i)->RenderedBitmap()->PixelColor(x, y);
    if (color == MakeColor(255, 0, 0))
        return kRed;
    if (color == MakeColor(0, 0, 255))
        return kBlue;
    EXPECT_EQ(ColorRed(color), ColorBlue(color)) << "not a gray";
    return ColorRed(color);
}

// `count` red frames, then the last frame drawn with `last`.
void Compose(TGIFImage& image, int count, int width, int height, const Pattern& last)
{
    for (int i = 0; i < count - 1; ++i)
        image.Add(Picture(width, height, kAllRed));
    image.Add(Picture(width, height, last));
}

// Where a band of n pixels along an axis of `size` pixels takes its pixels
// from when `copy` moves its offset o (0 at its start) to source coordinates.
double Squeezed(int o, int size, int n)
{
    return (o + 0.5) * size / n - 0.5;
}

// --- fall wall: H = 100, C = 4, walls of 0, 33 and 66 rows ----------------------------

struct FallWallCase {
    TFallDirection direction;
    TFallMode mode;
};

class FallWallTest : public ::testing::TestWithParam<FallWallCase> {};

TEST_P(FallWallTest, WallsOfZero33And66)
{
    const auto [direction, mode] = GetParam();
    const bool vertical = direction == fdUpToDown || direction == fdDownToUp;
    const bool fromLow = direction == fdUpToDown || direction == fdLeftToRight;
    TGIFImage image;
    Compose(image, 4, 100, 100, vertical ? kByRow : kByColumn);
    TFallWallParams params;
    params.frameCount = 4;
    params.direction = direction;
    params.mode = mode;
    RunEffect(image, params);
    for (int k = 0; k < 3; ++k) {
        const int n = 33 * k, bandStart = fromLow ? 0 : 100 - n;
        for (int c = 0; c < 100; ++c) {
            const int value = At(image, k, vertical ? 50 : c, vertical ? c : 50);
            const int o = c - bandStart;
            if (o < 0 || o >= n) {
                EXPECT_EQ(value, kRed) << "k " << k << " at " << c;
            } else if (mode == fmUnfold) {
                EXPECT_EQ(value, c) << "k " << k;
            } else if (mode == fmSlide) {
                EXPECT_EQ(value, (fromLow ? 100 - n : 0) + o) << "k " << k << " at " << c;
            } else {
                EXPECT_NEAR(value, Squeezed(o, 100, n), 8) << "k " << k << " at " << c;
            }
        }
    }
    EXPECT_EQ(At(image, 3, 0, 99), vertical ? 99 : 0);  // the last frame stays
}

INSTANTIATE_TEST_SUITE_P(EveryModeAndDirection, FallWallTest,
                         ::testing::Values(FallWallCase{fdUpToDown, fmUnfold}, FallWallCase{fdUpToDown, fmSlide},
                                           FallWallCase{fdUpToDown, fmSqueeze}, FallWallCase{fdDownToUp, fmUnfold},
                                           FallWallCase{fdDownToUp, fmSlide}, FallWallCase{fdDownToUp, fmSqueeze},
                                           FallWallCase{fdLeftToRight, fmUnfold},
                                           FallWallCase{fdLeftToRight, fmSlide},
                                           FallWallCase{fdLeftToRight, fmSqueeze},
                                           FallWallCase{fdRightToLeft, fmUnfold},
                                           FallWallCase{fdRightToLeft, fmSlide},
                                           FallWallCase{fdRightToLeft, fmSqueeze}));

TEST(FallWall, TwoFramesKeepThePictureAndLoseTheExtensions)
{
    TGIFImage image;
    Compose(image, 2, 10, 10, kByRow);
    TGIFSubImage& first = *image.Images().SubImage(0);
    first.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(first));
    first.GraphicControl()->SetDelay(50);
    TFallWallParams params;
    params.frameCount = 2;
    RunEffect(image, params);
    EXPECT_EQ(At(image, 0, 5, 5), kRed);
    EXPECT_EQ(first.Extensions().Count(), 0);
}

TEST(FallWall, ASmallerFrameIsClippedAndKeepsItsSize)
{
    TGIFImage image;
    image.Add(Picture(60, 40, kAllRed));
    image.Add(Picture(60, 40, kAllRed));
    image.Add(Picture(100, 100, kByRow));
    TFallWallParams params;
    params.mode = fmUnfold;
    RunEffect(image, params);  // s = 50: frame 1 is covered down to its bottom
    EXPECT_EQ(image.Images().SubImage(1)->Width(), 60);
    EXPECT_EQ(image.Images().SubImage(1)->Height(), 40);
    EXPECT_EQ(At(image, 1, 59, 39), 39);
    EXPECT_EQ(At(image, 0, 59, 39), kRed);
}

// The palette step puts the frame into the last frame's palette and keeps its
// picture, even when the last frame orders its colours the other way round.
TEST(EffectPalette, FramesTakeTheLastPaletteAndKeepTheirPicture)
{
    for (const bool usePalette : {true, false}) {
        TGIFImage image;
        TPalette reversed;
        for (int i = TestPalette().Count() - 1; i >= 0; --i)
            reversed.Add(TestPalette()[i]);
        TBitmap first = Picture(10, 10, kByRow);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                first.ScanLine(y)[x] = static_cast<uint8_t>(255 - y);  // gray y in the reversed palette
        first.SetPalette(reversed);
        image.Add(first);
        image.Add(Picture(10, 10, kAllBlue));
        TFallWallParams params;
        params.frameCount = 2;
        params.useLastFramePalette = usePalette;
        RunEffect(image, params);
        EXPECT_EQ(At(image, 0, 3, 7), 7);
        EXPECT_EQ(TGIFColorMap::EntryToColor(image.Images().SubImage(0)->ColorMap().Entries()),
                  usePalette ? MakeColor(0, 0, 0) : MakeColor(0, 0, 255));  // entry 0
    }
}

// --- the refusals -------------------------------------------------------------------------

TEST(EffectRange, RefusedBeforeAnyFrameChanges)
{
    TGIFImage image;
    Compose(image, 3, 4, 4, kAllBlue);
    TFallWallParams params;
    params.firstFrame = 2;  // last = 2 + 3 - 2 = 3 > 2
    EXPECT_EQ(CheckEffect(image, params), kRangeMessage);
    EXPECT_THROW(RunEffect(image, params), EEffectError);
    params.firstFrame = 0;
    EXPECT_EQ(CheckEffect(image, params), kFirstFrameMessage);
    params.firstFrame = 1;
    params.frameCount = 1;
    EXPECT_EQ(CheckEffect(image, params), kCountMessage);
    TLinesParams lines;
    lines.frameCount = 3;
    lines.lines = 0;
    EXPECT_EQ(CheckEffect(image, lines), kLinesMessage);
    EXPECT_EQ(At(image, 0, 0, 0), kRed);
}

// --- move apart: W - n odd, C = 3, s = 50 -------------------------------------------------

struct MoveApartCase {
    TOrientation orientation;
    TMoveApartKind kind;
    bool scale;
    int windowStart, windowEnd;  // of frame k = 1 along the axis
};

class MoveApartTest : public ::testing::TestWithParam<MoveApartCase> {};

TEST_P(MoveApartTest, OddMargins)
{
    const MoveApartCase& test = GetParam();
    const bool vertical = test.orientation == orVertical;
    TGIFImage image;
    Compose(image, 3, vertical ? 20 : 101, vertical ? 101 : 20, vertical ? kByRow : kByColumn);
    TMoveApartParams params;
    params.orientation = test.orientation;
    params.kind = test.kind;
    params.scale = test.scale;
    RunEffect(image, params);
    const auto at = [&](int k, int c) { return At(image, k, vertical ? 10 : c, vertical ? c : 10); };
    for (int c = 0; c < 101; ++c) {
        // k = 0: increase leaves the frame, diminish shows the whole last frame.
        EXPECT_EQ(at(0, c), test.kind == mkIncrease ? kRed : c);
        const int n = test.windowEnd - test.windowStart, o = c - test.windowStart;
        if (o < 0 || o >= n)
            EXPECT_EQ(at(1, c), kRed) << c;
        else if (test.scale)
            EXPECT_NEAR(at(1, c), Squeezed(o, 101, n), 8) << c;
        else
            EXPECT_EQ(at(1, c), c);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, MoveApartTest,
                         ::testing::Values(MoveApartCase{orHorizontal, mkIncrease, false, 25, 75},
                                           MoveApartCase{orVertical, mkIncrease, false, 25, 75},
                                           MoveApartCase{orHorizontal, mkDiminish, false, 25, 76},
                                           MoveApartCase{orVertical, mkDiminish, true, 25, 76},
                                           MoveApartCase{orHorizontal, mkIncrease, true, 25, 75}));

// --- lines ----------------------------------------------------------------------------

struct LinesCase {
    TOrientation orientation;
    int width, height, lines;
    bool copy;
    std::vector<int> oddBands;  // rows (horizontal) or columns (vertical) of odd bands
};

class LinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(LinesTest, BandsPulledBackAlternately)
{
    const LinesCase& test = GetParam();
    const bool horizontal = test.orientation == orHorizontal;
    TGIFImage image;
    image.Add(Picture(test.width, test.height, horizontal ? kByColumn : kByRow));
    for (int i = 0; i < 3; ++i)
        image.Add(Picture(test.width, test.height, i < 2 ? kAllRed : kAllBlue));
    TLinesParams params;
    params.orientation = test.orientation;
    params.lines = test.lines;
    params.copyFrame = test.copy;
    RunEffect(image, params);
    const int size = horizontal ? test.width : test.height;
    const int t = size / 3;
    const int lost = test.copy ? kBlue : kRed;
    for (int k = 0; k < 3; ++k)
        for (int y = 0; y < test.height; ++y)
            for (int x = 0; x < test.width; ++x) {
                const int across = horizontal ? y : x, along = horizontal ? x : y;
                const bool odd = std::find(test.oddBands.begin(), test.oddBands.end(), across) != test.oddBands.end();
                // horizontal: even bands lose m columns on the left, odd on the right;
                // vertical: even bands lose m rows at the bottom, odd at the top.
                const bool kept = horizontal ? (odd ? along < size - k * t : along >= k * t)
                                             : (odd ? along >= k * t : along < size - k * t);
                ASSERT_EQ(At(image, k, x, y), kept || k == 0 ? along : lost) << k << " " << x << "," << y;
            }
}

std::vector<int> Range(std::initializer_list<std::pair<int, int>> spans)
{
    std::vector<int> values;
    for (const auto& [from, to] : spans)
        for (int v = from; v < to; ++v)
            values.push_back(v);
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Bands, LinesTest,
    ::testing::Values(
        // Defaults on 90 x 50: bh = 10, t = 30; frame 2 keeps columns 30..89 of the even
        // bands and 0..59 of the odd ones, frame 3 columns 60..89 and 0..29.
        LinesCase{orHorizontal, 90, 50, 5, true, Range({{10, 20}, {30, 40}})},
        LinesCase{orHorizontal, 90, 50, 5, false, Range({{10, 20}, {30, 40}})},
        // bh = 2.5: borders 0, 2, 5, 8, 10.
        LinesCase{orHorizontal, 90, 10, 4, true, Range({{2, 5}, {8, 10}})},
        LinesCase{orVertical, 10, 90, 4, true, Range({{2, 5}, {8, 10}})}));

TEST(Lines, BordersRoundHalvesToEven)
{
    const int expected[] = {0, 2, 5, 8, 10};
    for (int j = 0; j <= 4; ++j)
        EXPECT_EQ(BandBorder(j, 10, 4), expected[j]);
}

// --- rain: 64 x 64, P = 2048 -------------------------------------------------------------

struct RainCase {
    bool copy;
    std::vector<int> draws;  // draws each affected frame has received in the end
};

class RainTest : public ::testing::TestWithParam<RainCase> {};

TEST_P(RainTest, ShareOfLastFramePixels)
{
    const RainCase& test = GetParam();
    std::vector<std::vector<int>> pictures;
    for (uint64_t seed : {1u, 2u}) {
        TGIFImage image;
        Compose(image, 4, 64, 64, kAllBlue);
        TRainParams params;
        params.frameCount = 4;
        params.copyFrame = test.copy;
        params.seed = seed;
        std::vector<int> announced;
        RunEffect(image, params, [&](int frame) { announced.push_back(frame); });
        EXPECT_EQ(announced, (std::vector<int>{0, 1, 2}));
        for (int k = 0; k < 3; ++k) {
            int blue = 0;
            std::vector<int> picture;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) {
                    picture.push_back(At(image, k, x, y));
                    blue += picture.back() == kBlue;
                }
            // 1 - (1 - 1/N)^n with N = 4096; the count's deviation is about 30 pixels.
            const double expected = 1 - std::pow(1 - 1.0 / 4096, test.draws[static_cast<size_t>(k)]);
            EXPECT_NEAR(blue / 4096.0, expected, 0.03) << "seed " << seed << " k " << k;
            if (k == 0)
                pictures.push_back(picture);
        }
    }
    EXPECT_NE(pictures[0], pictures[1]);
}

INSTANTIATE_TEST_SUITE_P(Draws, RainTest,
                         ::testing::Values(RainCase{false, {2049, 4097, 6145}},
                                           RainCase{true, {2049, 2049 + 4097, 2049 + 6145}}));

TEST(Rain, OnePixelGetsItsOneDraw)
{
    TGIFImage image;
    Compose(image, 2, 1, 1, kAllBlue);
    TRainParams params;
    params.frameCount = 2;  // P = 0: (k + 1) x 0 + 1 draws
    RunEffect(image, params);
    EXPECT_EQ(At(image, 0, 0, 0), kBlue);
}

// --- animora-cli effect ---------------------------------------------------------------------

TEST(EffectCommand, RangeMessageOnStandardErrorWithStatus1)
{
    const auto dir = test::MakeTempDir("animora-effect");
    TGIFImage image;
    Compose(image, 3, 8, 8, kAllBlue);
    image.SaveToFile((dir / "in.gif").string());
    const auto run = [&](const std::string& options) {
        const std::string command = std::string(ANIMORA_CLI_PATH) + " effect " + (dir / "in.gif").string() + " " +
                                    (dir / "out.gif").string() + " " + options + " 2>" + (dir / "err").string();
        return WEXITSTATUS(std::system(command.c_str()));
    };
    EXPECT_EQ(run("--effect fallwall --first 2 --count 3"), 1);
    EXPECT_EQ(test::ReadFileText(dir / "err"), std::string("error: ") + kRangeMessage + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));
    EXPECT_EQ(run("--effect lines --first 1 --lines 0"), 1);
    EXPECT_EQ(test::ReadFileText(dir / "err"), std::string("error: ") + kLinesMessage + "\n");
    EXPECT_EQ(run("--effect rain --first 1 --count 3 --seed 7"), 0);
    EXPECT_EQ(run("--effect rain --direction up-down"), 2);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace animora
