// The flood region: exactly the 4-connected pixels of the seed's colour.
#include <gtest/gtest.h>

#include "platform/FloodFill.h"

namespace animora::test {
namespace {

// Rows of '#' (black) and '.' (white) as an 8-bit picture.
TBitmap Picture(const std::vector<std::string>& rows)
{
    TBitmap bitmap(int(rows[0].size()), int(rows.size()), PixelFormat::pf24bit);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixelColor(x, y, rows[size_t(y)][size_t(x)] == '#' ? 0x000000 : 0xFFFFFF);
    return bitmap;
}

TEST(FloodRegion, CoversTheConnectedAreaAndNothingElse)
{
    // A ring with a hole, a diagonal neighbour (not 4-connected) and a
    // U-shape whose arms the fill has to turn round into.
    const TBitmap bitmap = Picture({
        "..........",
        ".######...",
        ".#....#...",
        ".#.##.#.#.",
        ".#.##.#..#",
        ".#....#.#.",
        ".######...",
        "..........",
    });
    const TFloodRegion ring = FloodRegion(bitmap, 2, 2);
    EXPECT_TRUE(ring.Contains(5, 5));
    EXPECT_FALSE(ring.Contains(3, 3));  // the hole's black
    EXPECT_FALSE(ring.Contains(0, 0));  // outside the ring
    EXPECT_EQ(ring.bounds, (TRect{2, 2, 6, 6}));

    const TFloodRegion outside = FloodRegion(bitmap, 0, 0);
    EXPECT_TRUE(outside.Contains(9, 0));
    EXPECT_TRUE(outside.Contains(8, 4));  // reached round the corners
    EXPECT_FALSE(outside.Contains(9, 4));  // black
    EXPECT_FALSE(outside.Contains(2, 2));

    EXPECT_TRUE(FloodRegion(bitmap, -1, 0).bounds.IsEmpty());
}

TEST(FloodRegion, AWholeLargePictureIsOneRegion)
{
    const TBitmap bitmap(4096, 4096, PixelFormat::pf24bit);
    const TFloodRegion region = FloodRegion(bitmap, 100, 100);
    EXPECT_EQ(region.bounds, (TRect{0, 0, 4096, 4096}));
}

} // namespace
} // namespace animora::test
