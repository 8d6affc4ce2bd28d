// TCanvas: copies, stretches, masks, tiles, fills and the change notification.
#include <gtest/gtest.h>

#include "platform/Canvas.h"
#include "platform/Errors.h"

using namespace animora;

namespace {

constexpr TColor kRed = MakeColor(255, 0, 0);
constexpr TColor kBlue = MakeColor(0, 0, 255);
constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kBlack = 0;

// One character per pixel: R red, B blue, W white, . black.
TBitmap Picture(const std::vector<std::string>& rows, PixelFormat format = PixelFormat::pf24bit)
{
    TBitmap bitmap(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), format);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const char c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            bitmap.SetPixelColor(x, y, c == 'R' ? kRed : c == 'B' ? kBlue : c == 'W' ? kWhite : kBlack);
        }
    return bitmap;
}

std::vector<std::string> Rows(const TBitmap& bitmap)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::string row;
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.PixelColor(x, y);
            row += c == kRed ? 'R' : c == kBlue ? 'B' : c == kWhite ? 'W' : c == kBlack ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

// Each drawing operation on a blank 4x3 canvas, for target formats that
// store pixels differently (the 16-colour palette holds all four colours).
TEST(Canvas, DrawingOperations)
{
    const TBitmap twoByTwo = Picture({"RB", "WR"});
    const TBitmap mask = Picture({".W", ".."}, PixelFormat::pf1bit);
    struct Case {
        const char* what;
        std::function<void(TCanvas&)> draw;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"fill, clipped", [](TCanvas& c) { c.FillRect({2, 1, 9, 9}, kBlue); }, {"....", "..BB", "..BB"}},
        {"draw at an offset, clipped", [&](TCanvas& c) { c.Draw(3, 1, twoByTwo); }, {"....", "...R", "...W"}},
        {"draw at a negative offset", [&](TCanvas& c) { c.Draw(-1, -1, twoByTwo); }, {"R...", "....", "...."}},
        {"stretch to double", [&](TCanvas& c) { c.StretchDraw({0, 0, 4, 2}, twoByTwo); }, {"RRBB", "WWRR", "...."}},
        {"stretch to one pixel", [&](TCanvas& c) { c.StretchDraw({1, 1, 2, 2}, twoByTwo); }, {"....", ".R..", "...."}},
        {"part of the source", [&](TCanvas& c) { c.CopyRect({0, 0, 1, 2}, twoByTwo, {1, 0, 2, 2}); },
         {"B...", "R...", "...."}},
        {"masked", [&](TCanvas& c) { c.MaskedStretchDraw({0, 0, 2, 2}, twoByTwo, mask); }, {"R...", "WR..", "...."}},
        {"tiled and cut at the area", [&](TCanvas& c) { c.TileDraw({0, 0, 3, 3}, twoByTwo); },
         {"RBR.", "WRW.", "RBR."}},
        {"tiled with a mask", [&](TCanvas& c) { c.TileDraw({0, 0, 4, 1}, twoByTwo, &mask); }, {"R.R.", "....", "...."}},
        {"empty rectangle", [&](TCanvas& c) { c.StretchDraw({2, 2, 2, 3}, twoByTwo); }, {"....", "....", "...."}},
    };
    for (PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf4bit, PixelFormat::pf32bit}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " on format " + std::to_string(int(format)));
            TBitmap target(4, 3, format);
            if (format == PixelFormat::pf4bit)
                target.SetPalette(SixteenColorPalette());
            TCanvas canvas(target);
            int changes = 0;
            canvas.OnChange = [&] { ++changes; };
            c.draw(canvas);
            EXPECT_EQ(Rows(target), c.expected);
            EXPECT_LE(changes, 1);
        }
    }
}

TEST(Canvas, TransparentSourceKeepsTheBackground)
{
    TBitmap source = Picture({"RW", "WB"});
    source.SetTransparent(true);
    source.SetTransparentColor(kWhite);
    TBitmap target = Picture({"...", "..."});
    TCanvas canvas(target);
    canvas.Draw(1, 0, source);
    canvas.FillRect({0, 1, 1, 2}, kRed);
    EXPECT_EQ(Rows(target), (std::vector<std::string>{".R.", "R.B"}));
}

TEST(Canvas, SamePaletteKeepsIndicesAndPixelsOutsideAreInvalid)
{
    TBitmap source(2, 1, PixelFormat::pf8bit);
    source.SetPalette(TPalette({{1, 1, 1, 0}, {1, 1, 1, 0}}));
    source.ScanLine(0)[1] = 1;
    TBitmap target(2, 1, PixelFormat::pf8bit);
    target.SetPalette(source.Palette());
    TCanvas canvas(target);
    canvas.Draw(0, 0, source);
    EXPECT_EQ(target.ScanLine(0)[1], 1) << "equal colours, but the index is copied";
    EXPECT_EQ(canvas.Pixel(2, 0), kInvalidColor);
    canvas.SetPixel(-1, 0, kRed);  // ignored
    EXPECT_THROW(canvas.MaskedStretchDraw({0, 0, 2, 1}, source, TBitmap(1, 1)), EInvalidGraphicOperation);
}
