#include <gtest/gtest.h>

#include <vector>

#include "color/ColorPalettes.h"
#include "color/ColorQuantizer.h"
#include "color/DIB.h"
#include "support/ColorPictures.h"

using namespace animora;
using animora::test::RGB;

namespace {

std::vector<RGB> Quantize(const std::vector<RGB>& pixels, int limit)
{
    TColorQuantizer quantizer(limit, 8);
    for (const RGB& pixel : pixels)
        quantizer.AddColor(pixel.red, pixel.green, pixel.blue);
    std::vector<TRGBQuad> table;
    const int count = quantizer.CollectColors(table);
    EXPECT_EQ(count, quantizer.LeafTotal());
    std::vector<RGB> colors;
    for (const TRGBQuad& quad : table) {
        EXPECT_EQ(quad.reserved, 0);
        colors.push_back({quad.red, quad.green, quad.blue});
    }
    return colors;
}

} // namespace

TEST(ColorQuantizer, FitsColorsInOctreeOrder)
{
    const struct {
        const char* name;
        std::vector<RGB> pixels;
        int limit;
        std::vector<RGB> expected;
    } cases[] = {
        {"one colour", {{9, 8, 7}, {9, 8, 7}}, 256, {{9, 8, 7}}},
        {"black before white", {{255, 255, 255}, {0, 0, 0}}, 256, {{0, 0, 0}, {255, 255, 255}}},
        {"blue before red", {{255, 0, 0}, {0, 0, 255}}, 256, {{0, 0, 255}, {255, 0, 0}}},
        {"few colours are kept exactly",
         {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {10, 200, 10}},
         4,
         {{10, 10, 200}, {10, 200, 10}, {200, 10, 10}}},
        // Only the lowest bit of blue differs: one level-7 node with two leaves,
        // merged into their (truncated) average as soon as the limit demands.
        {"lowest bit merges last", {{10, 20, 30}, {11, 20, 31}, {11, 20, 31}}, 1, {{10, 20, 30}}},
        {"truncating average", {{10, 0, 0}, {11, 0, 0}}, 1, {{10, 0, 0}}},
        // The newest reducible node of the deepest level merges first: the dark
        // pair (added last) merges, the light pair stays apart.
        {"newest node merges first",
         {{200, 200, 200}, {200, 200, 201}, {0, 0, 0}, {0, 0, 1}},
         3,
         {{0, 0, 0}, {200, 200, 200}, {200, 200, 201}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Quantize(c.pixels, c.limit), c.expected) << c.name;
}

TEST(ColorQuantizer, NeverHoldsMoreLeavesThanTheLimit)
{
    TColorQuantizer quantizer(16, 8);
    for (int i = 0; i < 20000; ++i) {
        quantizer.AddColor((i * 37) & 255, (i * 91) & 255, (i * 13) & 255);
        ASSERT_LE(quantizer.LeafTotal(), 16);
    }
}

TEST(OptimizedPalette, PlainAndWithSystemColorsReserved)
{
    TBitmap picture = animora::test::MakePicture(4, 4, [](int x, int) { return RGB{x * 60, 100, 30}; });
    const TPalette plain = MakeOptimizedPalette(picture, 8, 8, false);
    ASSERT_EQ(plain.Count(), 8);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(plain[x], (TPaletteEntry{static_cast<uint8_t>(x * 60), 100, 30, 0}));
    EXPECT_EQ(plain[7], (TPaletteEntry{0, 0, 0, 0})) << "places without colours are black";

    const TPalette reserved = MakeOptimizedPalette(picture, 256, 8, true);
    const TPalette stock = MakeStockPalette();
    ASSERT_EQ(reserved.Count(), 256);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(reserved[i], stock[i]);
        EXPECT_EQ(reserved[246 + i], stock[10 + i]);
    }
    EXPECT_EQ(reserved[10], (TPaletteEntry{0, 100, 30, 0}));
    EXPECT_EQ(reserved[13], (TPaletteEntry{180, 100, 30, 0}));
    EXPECT_EQ(reserved[14], (TPaletteEntry{0, 0, 0, 0}));
}

// Rows skip the tree walk for repeated colours; the palette must be the one
// that adding every pixel on its own gives, also when merges fall inside runs.
TEST(ColorQuantizer, RowsGiveTheSameTreeAsSinglePixels)
{
    std::vector<uint8_t> row;
    for (int i = 0; i < 3000; ++i) {
        const int run = 1 + (i * 7) % 5;
        for (int k = 0; k < run; ++k)
            row.insert(row.end(), {uint8_t(i * 13), uint8_t(i * 29), uint8_t(i * 3)});
    }
    const int width = static_cast<int>(row.size() / 3);
    TColorQuantizer byRow(12, 8), byPixel(12, 8);
    byRow.AddColor(1, 2, 3);
    byPixel.AddColor(1, 2, 3);
    byRow.AddRow(row.data(), width);
    for (int x = 0; x < width; ++x)
        byPixel.AddColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    std::vector<TRGBQuad> a, b;
    byRow.CollectColors(a);
    byPixel.CollectColors(b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ((RGB{a[i].red, a[i].green, a[i].blue}), (RGB{b[i].red, b[i].green, b[i].blue})) << i;
}
