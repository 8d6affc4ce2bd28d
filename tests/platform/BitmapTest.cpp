// TBitmap and TPalette: row layout, conversions between pixel formats,
// resizing, transparency and the built-in palettes.
#include <gtest/gtest.h>

#include <set>

#include "platform/Bitmap.h"
#include "platform/Errors.h"

using namespace animora;

namespace {

constexpr PixelFormat kAllFormats[] = {PixelFormat::pf1bit,  PixelFormat::pf4bit,  PixelFormat::pf8bit,
                                       PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf24bit,
                                       PixelFormat::pf32bit};

// Colours both formats hold exactly: black and white for 1 bit, pure
// colours for 15 and 16 bits, and for the rest also the half colours of the
// 16-colour palette.
std::vector<TColor> SharedColors(PixelFormat a, PixelFormat b)
{
    auto either = [&](PixelFormat f) { return a == f || b == f; };
    if (either(PixelFormat::pf1bit))
        return {MakeColor(0, 0, 0), MakeColor(255, 255, 255)};
    if (either(PixelFormat::pf15bit) || either(PixelFormat::pf16bit))
        return {MakeColor(0, 0, 0), MakeColor(255, 255, 255), MakeColor(255, 0, 0), MakeColor(0, 0, 255)};
    return {MakeColor(0, 0, 0), MakeColor(255, 255, 255), MakeColor(255, 0, 0),
            MakeColor(0, 128, 0), MakeColor(0, 0, 255), MakeColor(128, 128, 128)};
}

// A picture of the given colours in a diagonal pattern.
TBitmap Pattern(int width, int height, PixelFormat format, const std::vector<TColor>& colors)
{
    TBitmap bitmap(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixelColor(x, y, colors[static_cast<size_t>(x + 2 * y) % colors.size()]);
    return bitmap;
}

std::string Message(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EAnimoraError& error) {
        return error.what();
    }
    return "(nothing raised)";
}

} // namespace

TEST(Palette, StockAndHalftoneTables)
{
    const TPalette stock = StockSystemPalette();
    ASSERT_EQ(stock.Count(), 20);
    EXPECT_EQ(stock.Entry(0), (TPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(stock.Entry(8), (TPaletteEntry{192, 220, 192, 0}));
    EXPECT_EQ(stock.Entry(9), (TPaletteEntry{166, 202, 240, 0}));
    EXPECT_EQ(stock.Entry(10), (TPaletteEntry{255, 251, 240, 0}));
    EXPECT_EQ(stock.Entry(19), (TPaletteEntry{255, 255, 255, 0}));

    const TPalette halftone = BuiltInHalftonePalette();
    ASSERT_EQ(halftone.Count(), 256);
    std::set<TColor> colors;
    for (const TPaletteEntry& e : halftone.Entries())
        colors.insert(e.Color());
    for (const TPaletteEntry& e : stock.Entries())
        EXPECT_TRUE(colors.count(e.Color())) << std::hex << e.Color();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                EXPECT_TRUE(colors.count(MakeColor(uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b))));
    EXPECT_EQ(halftone.Entry(0), stock.Entry(0));
    EXPECT_EQ(halftone.Entry(255), stock.Entry(19));
}

TEST(Palette, BoundsAndNearest)
{
    TPalette palette({{10, 10, 10, 0}, {200, 0, 0, pcNoCollapse}, {200, 0, 0, 0}});
    EXPECT_EQ(Message([&] { palette.Entry(3); }), "List index out of bounds (3)");
    EXPECT_THROW(palette.SetEntry(-1, {}), EListError);
    EXPECT_EQ(palette.NearestIndex(190, 10, 5), 1) << "the lowest index wins a tie";
    EXPECT_EQ(TPalette().NearestIndex(0, 0, 0), -1);
    palette.SetCount(256);
    EXPECT_THROW(palette.Add({}), EConvertError);
    EXPECT_NE(palette, TPalette());
}

TEST(Bitmap, RowLayoutAndRowBounds)
{
    struct Case {
        int width;
        PixelFormat format;
        size_t rowBytes;
    };
    const Case cases[] = {
        {3, PixelFormat::pf8bit, 4},   {3, PixelFormat::pf24bit, 12}, {5, PixelFormat::pf24bit, 16},
        {1, PixelFormat::pf1bit, 4},   {33, PixelFormat::pf1bit, 8},  {9, PixelFormat::pf4bit, 8},
        {3, PixelFormat::pf16bit, 8},  {2, PixelFormat::pf32bit, 8},  {4, PixelFormat::pfDevice, 12},
    };
    for (const Case& c : cases) {
        TBitmap bitmap(c.width, 10, c.format);
        EXPECT_EQ(bitmap.RowBytes(), c.rowBytes) << c.width << " " << int(c.format);
        EXPECT_EQ(bitmap.BitsSize(), 10 * c.rowBytes);
        EXPECT_EQ(bitmap.ScanLine(9) - bitmap.ScanLine(0), static_cast<ptrdiff_t>(9 * c.rowBytes));
        EXPECT_EQ(Message([&] { bitmap.ScanLine(10); }), "Scan line index out of range");
        EXPECT_EQ(Message([&] { bitmap.ScanLine(-1); }), "Scan line index out of range");
    }
    EXPECT_EQ(TBitmap(4, 4, PixelFormat::pfDevice).GetPixelFormat(), PixelFormat::pf24bit);
}

TEST(Bitmap, PackedPixelsAreMostSignificantFirst)
{
    TBitmap mono(9, 1, PixelFormat::pf1bit);
    mono.SetPixelColor(0, 0, MakeColor(255, 255, 255));
    mono.SetPixelColor(8, 0, MakeColor(255, 255, 255));
    EXPECT_EQ(mono.ScanLine(0)[0], 0x80);
    EXPECT_EQ(mono.ScanLine(0)[1], 0x80);
    TBitmap nibbles(3, 1, PixelFormat::pf4bit);
    nibbles.SetPixelColor(0, 0, MakeColor(255, 0, 0));  // index 9 of the 16-colour palette
    nibbles.SetPixelColor(2, 0, MakeColor(0, 0, 128));  // index 4
    EXPECT_EQ(nibbles.ScanLine(0)[0], 0x90);
    EXPECT_EQ(nibbles.ScanLine(0)[1], 0x40);
    TBitmap rgb(1, 1, PixelFormat::pf24bit);
    rgb.SetPixelColor(0, 0, MakeColor(1, 2, 3));
    EXPECT_EQ(rgb.ScanLine(0)[0], 3) << "24-bit pixels are blue, green, red";
}

// Every format converts to every other; colours the target can hold survive.
TEST(Bitmap, ConversionsKeepColorsTheTargetCanHold)
{
    for (PixelFormat from : kAllFormats)
        for (PixelFormat to : kAllFormats) {
            TBitmap bitmap = Pattern(13, 5, from, SharedColors(from, to));
            const TBitmap original = bitmap;
            bitmap.SetPixelFormat(to);
            ASSERT_EQ(bitmap.GetPixelFormat(), to);
            ASSERT_EQ(bitmap.Width(), 13);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(bitmap.PixelColor(x, y), original.PixelColor(x, y))
                        << int(from) << "->" << int(to) << " at " << x << "," << y;
            if (IsPaletteFormat(to)) {
                EXPECT_LE(bitmap.Palette().Count(), 1 << BitsPerPixel(to));
            }
        }
}

TEST(Bitmap, DroppingDepthPicksTheNearestPaletteColor)
{
    TBitmap bitmap(2, 1, PixelFormat::pf24bit);
    bitmap.SetPixelColor(0, 0, MakeColor(100, 100, 100));
    bitmap.SetPixelColor(1, 0, MakeColor(200, 190, 180));
    bitmap.SetPixelFormat(PixelFormat::pf1bit);
    EXPECT_EQ(bitmap.Palette(), MonochromePalette());
    EXPECT_EQ(bitmap.PixelColor(0, 0), MakeColor(0, 0, 0));
    EXPECT_EQ(bitmap.PixelColor(1, 0), MakeColor(255, 255, 255));

    // A palette that fits the new depth is kept; indices stay when the depth grows.
    TBitmap small(2, 1, PixelFormat::pf8bit);
    small.SetPalette(TPalette({{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}));
    small.ScanLine(0)[1] = 2;
    small.SetPixelFormat(PixelFormat::pf4bit);
    small.SetPixelFormat(PixelFormat::pf8bit);
    EXPECT_EQ(small.Palette().Count(), 3);
    EXPECT_EQ(small.ScanLine(0)[1], 2);
}

TEST(Bitmap, ComingBackFrom24BitsIsOpaque)
{
    TBitmap bitmap(1, 1, PixelFormat::pf32bit);
    bitmap.ScanLine(0)[3] = 77;
    bitmap.SetPixelFormat(PixelFormat::pf24bit);
    bitmap.SetPixelFormat(PixelFormat::pf32bit);
    EXPECT_EQ(bitmap.ScanLine(0)[3], 255) << "24 bits have no alpha; coming back is opaque";
}

// Resizing keeps the top-left part; uncovered pixels are 0, even in the
// partly kept bytes of packed rows.
TEST(Bitmap, SetSizeKeepsTopLeft)
{
    for (PixelFormat format : kAllFormats) {
        TBitmap bitmap = Pattern(13, 6, format, SharedColors(format, format));
        const TBitmap original = bitmap;
        bitmap.SetSize(5, 3);
        bitmap.SetSize(14, 7);
        const TColor zero = IsPaletteFormat(format) ? bitmap.Palette().Color(0) : 0;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 14; ++x) {
                const TColor expected = (x < 5 && y < 3) ? original.PixelColor(x, y) : zero;
                ASSERT_EQ(bitmap.PixelColor(x, y), expected) << int(format) << " at " << x << "," << y;
            }
        EXPECT_EQ(bitmap.Palette(), original.Palette());
    }
}

TEST(Bitmap, SizeLimitsAndEmptiness)
{
    EXPECT_TRUE(TBitmap().Empty());
    EXPECT_TRUE(TBitmap(0, 5).Empty());
    EXPECT_THROW(TBitmap(-1, 5), EInvalidGraphicOperation);
    EXPECT_THROW(TBitmap(1 << 15, 1 << 14), EOutOfMemory);
    TBitmap bitmap(3, 3);
    EXPECT_THROW(bitmap.SetSize(1 << 20, 1 << 20), EOutOfMemory);
    EXPECT_EQ(bitmap.Width(), 3) << "a refused resize leaves the bitmap as it was";
    EXPECT_EQ(Message([&] { bitmap.PixelColor(3, 0); }), "Invalid pixel coordinates");
}

TEST(Bitmap, TransparentColorDefaultsToTheBottomLeftPixel)
{
    TBitmap bitmap(2, 2, PixelFormat::pf24bit);
    bitmap.SetPixelColor(0, 1, MakeColor(9, 8, 7));
    EXPECT_FALSE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentColor(), MakeColor(9, 8, 7));
    bitmap.SetTransparentColor(0xFF123456);
    EXPECT_EQ(bitmap.TransparentColor(), 0x123456u);
    bitmap.ResetTransparentColor();
    EXPECT_EQ(bitmap.TransparentColor(), MakeColor(9, 8, 7));
    EXPECT_EQ(TBitmap().TransparentColor(), 0u);
}
