// Palette refinement: k-means passes after the octree bring the reduced
// picture closer to the original, and the plain octree stays reachable.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "color/ColorPalettes.h"
#include "color/DIB.h"
#include "color/ReduceColors.h"
#include "support/TestData.h"

using namespace animora;

namespace {

TBitmap Hibiscus()
{
    TBitmap bitmap;
    bitmap.LoadFromFile((test::TestDataDir() / "pictures" / "hibiscus.regular.bmp").string());
    return bitmap;
}

double Psnr(TBitmap original, TBitmap reduced)
{
    original.SetPixelFormat(PixelFormat::pf24bit);
    reduced.SetPixelFormat(PixelFormat::pf24bit);
    double error = 0;
    for (int y = 0; y < original.Height(); ++y) {
        const uint8_t* a = original.ScanLine(y);
        const uint8_t* b = reduced.ScanLine(y);
        for (int x = 0; x < 3 * original.Width(); ++x)
            error += (double(a[x]) - b[x]) * (double(a[x]) - b[x]);
    }
    const double mse = error / (3.0 * original.Width() * original.Height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(PaletteRefinement, RaisesPsnrOnEveryOptimisedModeAndDitherAndRepeatsItself)
{
    const TBitmap hibiscus = Hibiscus();
    struct Case {
        ColorReductionMode mode;
        DitherKind dither;
        int bits;
    };
    for (const Case c : {Case{crOptimized, dkNearest, 8}, {crOptimized, dkFloydSteinberg, 8},
                         {crOptimized, dkNearest, 4}, {crOptimizedWindows, dkFloydSteinberg, 8}}) {
        const auto reduce = [&](bool refine) {
            TBitmap source = hibiscus;
            return ReduceBitmapColors(source, c.mode, c.dither, nullptr, c.bits, refine);
        };
        const auto plain = reduce(false);
        const auto refined = reduce(true);
        const auto again = reduce(true);
        const std::string what = "mode " + std::to_string(c.mode) + " dither " + std::to_string(c.dither) +
                                 " bits " + std::to_string(c.bits);
        EXPECT_GT(Psnr(hibiscus, *refined), Psnr(hibiscus, *plain) + 0.3) << what;
        ASSERT_EQ(refined->Height(), again->Height()) << what;
        for (int y = 0; y < refined->Height(); ++y)
            ASSERT_EQ(0, std::memcmp(refined->ScanLine(y), again->ScanLine(y), static_cast<size_t>(refined->Width())))
                << what << " row " << y;
    }
}

// Off, the palette is the octree's exactly; on, the reserved system colours
// stay where they are.
TEST(PaletteRefinement, OffIsTheOctreeAndReservedColoursStay)
{
    TBitmap a = Hibiscus(), b = Hibiscus(), c = Hibiscus();
    const TPalette octree = MakeOptimizedPalette(a, 256, 8, true);
    const TPalette off = MakeOptimizedPalette(b, 256, 8, true, false);
    const TPalette on = MakeOptimizedPalette(c, 256, 8, true, true);
    ASSERT_EQ(octree.Count(), 256);
    int moved = 0;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(off[i].red, octree[i].red);
        EXPECT_EQ(off[i].green, octree[i].green);
        EXPECT_EQ(off[i].blue, octree[i].blue);
        const bool same = on[i].red == octree[i].red && on[i].green == octree[i].green && on[i].blue == octree[i].blue;
        if (i < 10 || i >= 246) {
            EXPECT_TRUE(same) << "reserved entry " << i;
        }
        moved += same ? 0 : 1;
    }
    EXPECT_GT(moved, 100);
}

} // namespace
