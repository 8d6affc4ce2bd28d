// Pictures becoming frames: palette bitmaps kept as they are, true-colour
// pictures reduced by every mode, the 24-bit import's colour table, the
// transparency of bitmaps, icons and metafiles, and copies between frames.
#include <gtest/gtest.h>

#include <set>

#include "color/ColorTypes.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"
#include "platform/GraphicKinds.h"
#include "support/TestData.h"

namespace animora {
namespace {

TGIFSubImage& NewFrame(TGIFImage& image)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage& ref = *frame;
    image.Add(std::move(frame));
    return ref;
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

int DistinctColors(const TBitmap& bitmap)
{
    std::set<TColor> colors;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            colors.insert(bitmap.PixelColor(x, y));
    return static_cast<int>(colors.size());
}

// The frame, rendered from its indices (not the imported bitmap), shows
// the picture's colours.
void ExpectSamePixels(TGIFSubImage& frame, const TBitmap& picture, const std::string& what)
{
    frame.SetRenderedBitmap(nullptr);
    const TBitmap* rendered = frame.RenderedBitmap();
    ASSERT_NE(rendered, nullptr) << what;
    ASSERT_EQ(rendered->Width(), picture.Width()) << what;
    ASSERT_EQ(rendered->Height(), picture.Height()) << what;
    int mismatches = 0;
    for (int y = 0; y < picture.Height() && mismatches < 5; ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (rendered->PixelColor(x, y) != picture.PixelColor(x, y) && ++mismatches < 5)
                ADD_FAILURE() << what << " pixel " << x << "," << y;
}

void ExpectIndicesInsideMap(TGIFSubImage& frame, const std::string& what)
{
    const int count = frame.ActiveColorMap().Count();
    ASSERT_GT(count, 0) << what;
    const uint8_t* data = frame.Data();
    for (size_t i = 0; i < frame.DataSize(); ++i)
        if (data[i] >= count) {
            ADD_FAILURE() << what << ": index " << int(data[i]) << " of " << count << " colours";
            return;
        }
}

TEST(FrameImportTest, PalettePicturesAndFewColoredTrueColorPicturesComeBackUnchanged)
{
    std::vector<std::filesystem::path> files = test::FilesIn("bmpsuite", ".bmp");
    for (const auto& path : test::FilesIn("pictures", ".bmp"))
        files.push_back(path);
    int checked = 0;
    for (const auto& path : files) {
        TBitmap picture;
        picture.LoadFromFile(path.string());
        const bool palette = IsPaletteFormat(picture.GetPixelFormat());
        if (!palette && DistinctColors(picture) > 256)
            continue;
        TGIFImage image;
        image.SetReductionMode(crNone);
        TGIFSubImage& frame = NewFrame(image);
        frame.Assign(picture);
        ExpectSamePixels(frame, picture, path.filename().string());
        ++checked;
    }
    EXPECT_GE(checked, 18);
}

TEST(FrameImportTest, APhotographFitsItsMapInEveryReductionMode)
{
    TBitmap photo;
    photo.LoadFromFile((test::TestDataDir() / "pictures" / "hibiscus.regular.bmp").string());
    for (int mode = crWindows20; mode <= crOptimizedWindows; ++mode) {
        for (int dither : {dkNearest, dkFloydSteinberg}) {
            TGIFImage image;
            image.SetReductionMode(static_cast<uint8_t>(mode));
            image.SetDitherStyle(static_cast<uint8_t>(dither));
            TGIFSubImage& frame = NewFrame(image);
            frame.Assign(photo);
            const std::string what = "mode " + std::to_string(mode) + " dither " + std::to_string(dither);
            EXPECT_EQ(frame.Width(), photo.Width()) << what;
            ExpectIndicesInsideMap(frame, what);
        }
    }
}

TEST(FrameImportTest, FourBitRowsImportHighNibbleFirst)
{
    TBitmap picture(3, 1, PixelFormat::pf4bit);
    picture.ScanLine(0)[0] = 0x5A;
    picture.ScanLine(0)[1] = 0x30;
    TGIFImage image;
    TGIFSubImage& frame = NewFrame(image);
    frame.Assign(picture);
    EXPECT_EQ(frame.PixelAt(0, 0), 5);
    EXPECT_EQ(frame.PixelAt(1, 0), 10);
    EXPECT_EQ(frame.PixelAt(2, 0), 3);
    EXPECT_EQ(frame.ColorMap().Count(), 16);
}

TEST(FrameImportTest, TrueColorImportBuildsItsMapInOrderOfFirstUse)
{
    // Runs and returns of colours exercise the ring of recent colours.
    const std::vector<TColor> row = {0x0000FF, 0x0000FF, 0x00FF00, 0x0000FF, 0xFF0000, 0x123456,
                                     0x00FF00, 0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F,
                                     0x101112, 0x0000FF, 0x123456};
    TBitmap picture(static_cast<int>(row.size()), 1, PixelFormat::pf24bit);
    for (size_t x = 0; x < row.size(); ++x)
        picture.SetPixelColor(static_cast<int>(x), 0, row[x]);
    TGIFImage image;
    image.SetReductionMode(crNone);
    TGIFSubImage& frame = NewFrame(image);
    frame.Assign(picture);
    const std::vector<TColor> expectedMap = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0x010203,
                                             0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    ASSERT_EQ(frame.ColorMap().Count(), static_cast<int>(expectedMap.size()));
    for (size_t i = 0; i < expectedMap.size(); ++i)
        EXPECT_EQ(frame.ColorMap().ColorAt(static_cast<int>(i)), expectedMap[i]) << i;
    ExpectSamePixels(frame, picture, "ring");
}

TEST(FrameImportTest, MoreThan256ColorsWithoutReductionOverflow)
{
    TBitmap picture(257, 1, PixelFormat::pf24bit);
    for (int x = 0; x < 257; ++x)
        picture.SetPixelColor(x, 0, MakeColor(static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8), 7));
    TGIFImage image;
    image.SetReductionMode(crNone);
    std::vector<int> endings;
    image.OnProgress = [&](TPersistent&, TProgressStage stage, int percent, bool, const std::string& message) {
        if (stage == TProgressStage::psEnding && message == "Converting...")
            endings.push_back(percent);
    };
    TGIFSubImage& frame = NewFrame(image);
    EXPECT_EQ(MessageOf([&] { frame.Assign(picture); }), "Color table overflow");
    EXPECT_EQ(endings, std::vector<int>{0});
    EXPECT_EQ(frame.ColorMap().Count(), 256);
}

TEST(FrameImportTest, TransparentBitmapsGetABlackTransparentEntryWhenThereIsRoom)
{
    struct Case {
        const char* name;
        int colors;       // colours used by the picture
        bool eightBit;    // a palette bitmap of 256 entries, else 24 bits
        bool expectTransparent;
    } cases[] = {
        {"10 colours, 24 bits", 10, false, true},
        {"256 used palette entries", 256, true, false},
        {"10 of 256 palette entries", 10, true, true},
    };
    for (const Case& c : cases) {
        TBitmap picture(16, 16, c.eightBit ? PixelFormat::pf8bit : PixelFormat::pf24bit);
        if (c.eightBit) {
            std::vector<TPaletteEntry> entries;
            for (int i = 0; i < 256; ++i)
                entries.push_back({static_cast<uint8_t>(i), 100, 200, 0});
            picture.SetPalette(TPalette(entries));
        }
        for (int i = 0; i < 256; ++i) {
            const int value = i % c.colors;
            if (c.eightBit)
                picture.ScanLine(i / 16)[i % 16] = static_cast<uint8_t>(value);
            else
                picture.SetPixelColor(i % 16, i / 16, MakeColor(static_cast<uint8_t>(value * 20), 0, 51));
        }
        picture.SetTransparent(true);  // the bottom-left pixel's colour
        TGIFImage image;
        image.SetReductionMode(crNone);
        TGIFSubImage& frame = NewFrame(image);
        frame.Assign(picture);
        EXPECT_EQ(frame.Transparent(), c.expectTransparent) << c.name;
        if (!c.expectTransparent)
            continue;
        const int count = frame.ColorMap().Count();
        EXPECT_LE(count, c.colors + 1) << c.name;
        EXPECT_EQ(frame.ColorMap().ColorAt(count - 1), 0u) << c.name;
        ASSERT_NE(frame.GraphicControl(), nullptr) << c.name;
        EXPECT_EQ(frame.GraphicControl()->TransparentColorIndex(), count - 1) << c.name;
        EXPECT_EQ(frame.PixelAt(0, 15), count - 1) << c.name;
        EXPECT_TRUE(frame.HasMask()) << c.name;
    }
}

TEST(FrameImportTest, IconsAndMetafilesBringTheirMasks)
{
    TBitmap picture(2, 2, PixelFormat::pf24bit);
    TCanvas(picture).FillRect({0, 0, 2, 2}, MakeColor(200, 10, 10));
    TBitmap mask(2, 2, PixelFormat::pf1bit);
    mask.SetPixelColor(1, 1, MakeColor(255, 255, 255));
    TIcon icon(picture, mask);
    // The metafile paints the left column only.
    TMetafile metafile(2, 2, [](TCanvas& canvas, const TRect& rect) {
        canvas.FillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, MakeColor(10, 200, 10));
    });
    const struct {
        const char* name;
        const TGraphic* graphic;
        std::vector<std::pair<int, int>> transparent;
    } cases[] = {{"icon", &icon, {{1, 1}}}, {"metafile", &metafile, {{1, 0}, {1, 1}}}};
    for (const auto& c : cases) {
        TGIFImage image;
        image.SetReductionMode(crNone);
        TGIFSubImage& frame = NewFrame(image);
        frame.Assign(*c.graphic);
        ASSERT_TRUE(frame.Transparent()) << c.name;
        const int t = frame.GraphicControl()->TransparentColorIndex();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                const bool expected = std::count(c.transparent.begin(), c.transparent.end(), std::make_pair(x, y)) > 0;
                EXPECT_EQ(frame.PixelAt(x, y) == t, expected) << c.name << " " << x << "," << y;
            }
    }
}

TEST(FrameImportTest, FramesCopyFramesAndAnEmptyFrameLeavesNoExtensions)
{
    TGIFImage image;
    TGIFSubImage& source = NewFrame(image);
    source.SetBounds(1, 1, 2, 2);
    source.ColorMap().AddColor(0xFF);
    source.ColorMap().AddColor(0xFF00);
    source.ScanLine(1)[1] = 1;
    auto control = std::make_unique<TGIFGraphicControlExtension>(source);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(1);
    source.Extensions().Append(std::move(control));
    ASSERT_TRUE(source.HasMask());

    TGIFSubImage& copy = NewFrame(image);
    copy.Assign(source);
    EXPECT_TRUE(copy.Transparent());
    ASSERT_NE(copy.GraphicControl(), nullptr);
    EXPECT_NE(copy.GraphicControl(), source.GraphicControl());
    EXPECT_EQ(copy.PixelAt(1, 1), 1);
    EXPECT_TRUE(copy.HasMask());

    TGIFSubImage& empty = NewFrame(image);
    copy.Assign(empty);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(copy.Extensions().Count(), 0);
    EXPECT_FALSE(copy.Transparent());
    EXPECT_EQ(copy.RenderedBitmap(), nullptr);
}

TEST(FrameImportTest, RenderedBitmapWrittenBackReplacesPixelsAndExtensions)
{
    TGIFImage image;
    TGIFSubImage& frame = NewFrame(image);
    frame.SetBounds(0, 0, 2, 1);
    frame.ColorMap().AddColor(0xFF);
    frame.ColorMap().AddColor(0xFF00);
    frame.Extensions().Append(std::make_unique<TGIFCommentExtension>(frame));
    TBitmap* bitmap = frame.RenderedBitmap();
    bitmap->ScanLine(0)[1] = 0;  // painted on
    frame.SetRenderedBitmap(bitmap);
    EXPECT_EQ(frame.PixelAt(1, 0), 0);
    EXPECT_EQ(frame.Extensions().Count(), 0);
    EXPECT_EQ(frame.Width(), 2);
}

} // namespace
} // namespace animora
