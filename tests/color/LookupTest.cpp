#include <gtest/gtest.h>

#include "color/ColorLookup.h"
#include "color/ColorPalettes.h"
#include "support/ColorPictures.h"

using namespace animora;
using animora::test::RGB;

namespace {

struct LookupCase {
    const char* name;
    RGB input;
    int index;
    RGB color;
};

RGB Gray(int level)
{
    return RGB{level, level, level};
}

void ExpectLookup(TColorLookup& lookup, const LookupCase& c)
{
    int r = -1, g = -1, b = -1;
    EXPECT_EQ(lookup.MatchColor(c.input.red, c.input.green, c.input.blue, r, g, b), c.index) << c.name;
    EXPECT_EQ((RGB{r, g, b}), c.color) << c.name;
}

} // namespace

TEST(ColorLookup, FixedLookupsMapTheDocumentedValues)
{
    TNetscapeColorLookup netscape;
    TGrayScaleLookup gray;
    TMonochromeLookup monochrome;
    const struct {
        TColorLookup& lookup;
        LookupCase c;
    } cases[] = {
        {netscape, {"netscape black", {0, 0, 0}, 0, {0, 0, 0}}},
        {netscape, {"netscape white", {255, 255, 255}, 215, {255, 255, 255}}},
        {netscape, {"netscape 47 is level 0", {47, 0, 0}, 0, {0, 0, 0}}},
        {netscape, {"netscape 48 is level 1", {48, 0, 0}, 36, {51, 0, 0}}},
        {netscape, {"netscape mixed", {128, 64, 200}, 81, {102, 51, 153}}},
        {gray, {"gray red", {255, 0, 0}, 76, Gray(76)}},
        {gray, {"gray green", {0, 255, 0}, 149, Gray(149)}},
        {gray, {"gray blue", {0, 0, 255}, 28, Gray(28)}},
        {gray, {"gray white", {255, 255, 255}, 255, Gray(255)}},
        {monochrome, {"127 gray is black", Gray(127), 0, Gray(0)}},
        {monochrome, {"128 gray is white", Gray(128), 1, Gray(255)}},
    };
    for (const auto& entry : cases)
        ExpectLookup(entry.lookup, entry.c);
    EXPECT_EQ(netscape.ColorCount(), 216);
    EXPECT_EQ(gray.ColorCount(), 256);
    EXPECT_EQ(monochrome.ColorCount(), 2);
}

TEST(ColorLookup, FastLookupPrefersTheLowerIndexOfEqualEntries)
{
    const TPalette palette({{10, 10, 10, 0}, {200, 100, 50, 0}, {200, 100, 50, 0}});
    TFastColorLookup lookup(palette);
    EXPECT_EQ(lookup.ColorCount(), 3);
    ExpectLookup(lookup, {"exact", {200, 100, 50}, 1, {200, 100, 50}});
    ExpectLookup(lookup, {"near", {190, 110, 60}, 1, {200, 100, 50}});
    ExpectLookup(lookup, {"other cell, equal distance", {105, 55, 30}, 0, {10, 10, 10}});
}

// A full palette: the last entry comes back whole, a far tie goes to the lower index.
TEST(ColorLookup, FastLookupFindsTheLastEntryOfAFullPalette)
{
    std::array<TPaletteEntry, 256> entries{};
    entries[100] = {100, 0, 0, 0};
    entries[255] = {200, 0, 0, 0};
    TFastColorLookup lookup(entries.data(), 256);
    ExpectLookup(lookup, {"the last entry", {200, 0, 0}, 255, {200, 0, 0}});
    ExpectLookup(lookup, {"halfway between 100 and 255", {150, 0, 0}, 100, {100, 0, 0}});
}

// The cache keeps one index per cell of 5 bits per component: the first
// palette entry of a cell owns it, and otherwise the first colour looked up in
// a cell decides for every later colour of that cell.
TEST(ColorLookup, FastLookupCachesPerFiveBitCell)
{
    const TPalette sameCell({{0, 0, 0, 0}, {6, 0, 0, 0}});
    TFastColorLookup owned(sameCell);
    ExpectLookup(owned, {"first entry owns its cell", {6, 0, 0}, 0, {0, 0, 0}});

    const TPalette blackAndLight({{0, 0, 0, 0}, {250, 250, 250, 0}});
    TFastColorLookup upFirst(blackAndLight);
    ExpectLookup(upFirst, {"127 is nearer the light entry", Gray(127), 1, Gray(250)});
    ExpectLookup(upFirst, {"120 shares the cell of 127", Gray(120), 1, Gray(250)});

    TFastColorLookup downFirst(blackAndLight);
    ExpectLookup(downFirst, {"120 alone is nearer black", Gray(120), 0, Gray(0)});

    TFastColorLookup tie(blackAndLight);
    ExpectLookup(tie, {"125 is a tie: the lower index", Gray(125), 0, Gray(0)});
}

TEST(ColorLookup, FastLookupOnAnEmptyPaletteHasNoColors)
{
    TFastColorLookup lookup{TPalette()};
    EXPECT_EQ(lookup.ColorCount(), 0);
}

TEST(ColorPalettes, FixedPalettesHaveTheirEntries)
{
    const TPalette netscape = MakeNetscapePalette();
    ASSERT_EQ(netscape.Count(), 216);
    EXPECT_EQ(netscape[81], (TPaletteEntry{102, 51, 153, 0}));
    EXPECT_EQ(netscape[215], (TPaletteEntry{255, 255, 255, 0}));

    const TPalette gray = MakeGrayPalette();
    ASSERT_EQ(gray.Count(), 256);
    EXPECT_EQ(gray[77], (TPaletteEntry{77, 77, 77, pcNoCollapse}));

    EXPECT_EQ(MakeMonochromePalette(),
              TPalette({{0, 0, 0, pcNoCollapse}, {255, 255, 255, pcNoCollapse}}));
    EXPECT_EQ(MakeWindowsGrayPalette(), TPalette({{0, 0, 0, pcNoCollapse},
                                                  {0x80, 0x80, 0x80, pcNoCollapse},
                                                  {0xC0, 0xC0, 0xC0, pcNoCollapse},
                                                  {0xFF, 0xFF, 0xFF, pcNoCollapse}}));
    EXPECT_EQ(MakeStockPalette().Count(), 20);
    EXPECT_EQ(MakeHalftonePalette().Count(), 256);
}
