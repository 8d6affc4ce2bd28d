// The graphic kinds of the platform: bitmaps as graphics, icons, metafiles,
// the clipboard and the picture-format registry, and MulDiv's rounding.
#include <gtest/gtest.h>

#include "platform/Clipboard.h"
#include "platform/Errors.h"
#include "platform/GraphicKinds.h"
#include "platform/PictureFormats.h"

namespace animora {
namespace {

const TColor kRed = MakeColor(255, 0, 0);
const TColor kBlue = MakeColor(0, 0, 255);

TEST(GraphicTest, MulDivRoundsHalvesAwayFromZero)
{
    const struct {
        int a, b, c, expected;
    } cases[] = {{1, 3, 2, 2}, {1, 1, 3, 0}, {2, 1, 3, 1}, {-1, 3, 2, -2}, {5, 4, 2, 10},
                 {100000, 100000, 100000, 100000}, {7, 1, 0, -1}, {3, 1, -2, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(GraphicTest, BitmapCopiesKeepTheirOwnHandlers)
{
    TBitmap bitmap(2, 2, PixelFormat::pf8bit);
    int changes = 0;
    bitmap.OnChange = [&](TPersistent&) { ++changes; };
    bitmap.SetTransparent(true);
    TBitmap copy(bitmap);
    EXPECT_FALSE(copy.OnChange);
    EXPECT_TRUE(copy.Transparent());
    TBitmap assigned;
    assigned.Assign(bitmap);
    EXPECT_TRUE(assigned.SamePicture(bitmap));
    EXPECT_FALSE(assigned.OnChange);
}

TEST(GraphicTest, IconsDrawThroughTheirMasksAndMetafilesThroughTheirPlayers)
{
    TBitmap picture(2, 1, PixelFormat::pf24bit);
    TCanvas(picture).FillRect({0, 0, 2, 1}, kRed);
    TBitmap mask(2, 1, PixelFormat::pf1bit);
    mask.SetPixelColor(1, 0, MakeColor(255, 255, 255));
    TIcon icon(picture, mask);
    TMetafile metafile(2, 1, [](TCanvas& canvas, const TRect& rect) {
        canvas.FillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, kRed);
    });
    for (TGraphic* graphic : std::initializer_list<TGraphic*>{&icon, &metafile}) {
        TBitmap target(2, 1, PixelFormat::pf24bit);
        TCanvas canvas(target);
        canvas.FillRect({0, 0, 2, 1}, kBlue);
        graphic->Draw(canvas, {0, 0, 2, 1});
        EXPECT_EQ(target.PixelColor(0, 0), kRed) << graphic->ClassName();
        EXPECT_EQ(target.PixelColor(1, 0), kBlue) << graphic->ClassName();
        // A bitmap assigned from either gets it drawn on black.
        TBitmap assigned;
        assigned.Assign(*graphic);
        EXPECT_EQ(assigned.PixelColor(0, 0), kRed) << graphic->ClassName();
    }
    EXPECT_THROW(TIcon(picture, TBitmap(1, 1, PixelFormat::pf1bit)), EInvalidGraphicOperation);
}

TEST(GraphicTest, TheClipboardCarriesBitmapsAsBMPBytes)
{
    TMemoryClipboard clipboard;
    SetClipboard(&clipboard);
    TBitmap bitmap(3, 2, PixelFormat::pf4bit);
    bitmap.SetPixelColor(2, 1, kRed);
    CopyToClipboard(bitmap);
    ASSERT_TRUE(clipboard.HasFormat(kClipboardBitmapFormat));
    TBitmap pasted;
    PasteFromClipboard(pasted, kClipboardBitmapFormat);
    EXPECT_TRUE(pasted.SamePicture(bitmap));
    EXPECT_THROW(PasteFromClipboard(pasted, "GIF Image"), EInvalidGraphic);
    clipboard.Clear();
    EXPECT_THROW(PasteFromClipboard(pasted, kClipboardBitmapFormat), EInvalidGraphic);
    SetClipboard(nullptr);
}

TEST(GraphicTest, PictureFormatsAreFoundByAnyCaseWithOrWithoutTheDot)
{
    RegisterFileFormat("XYZ", "Test picture", [] { return std::make_unique<TBitmap>(); });
    for (const char* name : {"xyz", ".XYZ", "Xyz"}) {
        const TPictureFormat* format = FindFileFormat(name);
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(format->description, "Test picture");
    }
    UnregisterFileFormat("xyz");
    EXPECT_EQ(FindFileFormat("XYZ"), nullptr);
}

} // namespace
} // namespace animora
