// Frames as bitmaps: the plain rendering, the transparency mask, progress and
// abort, and drawing a frame (placed, scaled, tiled, masked) on a canvas.
#include <gtest/gtest.h>

#include "gif/FrameDIB.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"
#include "support/TestData.h"

namespace animora {
namespace {

const TColor kRed = MakeColor(255, 0, 0);
const TColor kGreen = MakeColor(0, 255, 0);
const TColor kBlue = MakeColor(0, 0, 255);
const TColor kWhite = MakeColor(255, 255, 255);

// A frame of the image at the given place, with a local map of `colors`,
// its pixels set by `pixel(x, y)`, and optionally a transparent index.
TGIFSubImage& MakeFrame(TGIFImage& image, const TRect& place, const std::vector<TColor>& colors,
                        const std::function<uint8_t(int, int)>& pixel, int transparentIndex = -1)
{
    auto owned = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage& frame = *owned;
    image.Add(std::move(owned));
    frame.SetBounds(place.left, place.top, place.Width(), place.Height());
    for (TColor color : colors)
        frame.ColorMap().AddColor(color);
    for (int y = 0; y < place.Height(); ++y)
        for (int x = 0; x < place.Width(); ++x)
            frame.ScanLine(y)[x] = pixel(x, y);
    frame.PixelsChanged();
    if (transparentIndex >= 0) {
        auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(transparentIndex);
        frame.Extensions().Append(std::move(control));
    }
    return frame;
}

// Every pixel of a rendered bitmap is the map's colour of the frame's index,
// and the mask is set exactly where the frame is transparent.
void ExpectRenderingMatches(TGIFSubImage& frame, const std::string& what)
{
    const TBitmap* bitmap = frame.RenderedBitmap();
    ASSERT_NE(bitmap, nullptr) << what;
    ASSERT_EQ(bitmap->GetPixelFormat(), PixelFormat::pf8bit) << what;
    ASSERT_EQ(bitmap->Width(), frame.Width());
    ASSERT_EQ(bitmap->Height(), frame.Height());
    TGIFColorMap& map = frame.ActiveColorMap();
    const bool transparent = frame.Transparent() && frame.GraphicControl();
    const int transparentIndex = transparent ? frame.GraphicControl()->TransparentColorIndex() : -1;
    const TBitmap* mask = frame.Mask();
    bool anyTransparent = false;
    int mismatches = 0;
    for (int y = 0; y < frame.Height() && mismatches < 5; ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            const uint8_t index = frame.ScanLine(y)[x];
            const TColor expected = index < map.Count() ? map.ColorAt(index) : 0;
            if (bitmap->PixelColor(x, y) != expected && ++mismatches < 5)
                ADD_FAILURE() << what << " pixel " << x << "," << y;
            const bool isTransparent = index == transparentIndex;
            anyTransparent = anyTransparent || isTransparent;
            if (mask && (mask->PixelColor(x, y) != 0) != isTransparent && ++mismatches < 5)
                ADD_FAILURE() << what << " mask " << x << "," << y;
        }
    }
    EXPECT_EQ(frame.HasMask(), anyTransparent) << what;
}

TEST(FrameRenderTest, EveryCorpusFrameRendersItsColorsAndMask)
{
    int frames = 0;
    for (const auto& path : test::FilesIn("corpus", ".gif")) {
        TGIFImage image;
        image.LoadFromFile(path.string());
        for (int i = 0; i < image.Images().Count(); ++i) {
            TGIFSubImage& frame = *image.Images().SubImage(i);
            if (frame.IsEmpty())
                continue;
            ExpectRenderingMatches(frame, path.filename().string() + " frame " + std::to_string(i));
            ++frames;
        }
    }
    EXPECT_GT(frames, 380);
}

TEST(FrameRenderTest, MaskRowsCoverPartialBytes)
{
    // Widths around byte and 16-bit boundaries; transparent pixels on the
    // diagonal and in the last column.
    for (int width : {1, 7, 8, 9, 15, 16, 17, 33}) {
        TGIFImage image;
        TGIFSubImage& frame = MakeFrame(image, Bounds(0, 0, width, 5), {kRed, kGreen},
                                        [&](int x, int y) { return uint8_t(x == y || x == width - 1); }, 1);
        ExpectRenderingMatches(frame, "width " + std::to_string(width));
        EXPECT_TRUE(frame.HasMask());
    }
}

TEST(FrameRenderTest, TransparentIndexThatOccursNowhereMakesNoMask)
{
    TGIFImage image;
    TGIFSubImage& frame = MakeFrame(image, Bounds(0, 0, 4, 4), {kRed, kGreen, kBlue}, [](int, int) { return 0; }, 2);
    ASSERT_NE(frame.RenderedBitmap(), nullptr);
    EXPECT_FALSE(frame.HasMask());
    EXPECT_EQ(frame.Mask(), nullptr);
}

TEST(FrameRenderTest, ProgressEvery32ndRowAndAbortGivesNoBitmap)
{
    TGIFImage image;
    TGIFSubImage& frame = MakeFrame(image, Bounds(0, 0, 3, 70), {kRed}, [](int, int) { return 0; });
    std::vector<std::pair<TProgressStage, int>> seen;
    image.OnProgress = [&](TPersistent&, TProgressStage stage, int percent, bool, const std::string& message) {
        EXPECT_EQ(message, "Rendering...");
        seen.emplace_back(stage, percent);
    };
    ASSERT_NE(frame.RenderedBitmap(), nullptr);
    const std::vector<std::pair<TProgressStage, int>> expected = {
        {TProgressStage::psStarting, 0}, {TProgressStage::psRunning, 0}, {TProgressStage::psRunning, 45},
        {TProgressStage::psRunning, 91}, {TProgressStage::psEnding, 100}};
    EXPECT_EQ(seen, expected);

    frame.SetRenderedBitmap(nullptr);
    seen.clear();
    image.OnProgress = [&](TPersistent&, TProgressStage stage, int percent, bool, const std::string&) {
        seen.emplace_back(stage, percent);
        if (stage == TProgressStage::psRunning && percent > 0)
            throw EAbort();
    };
    EXPECT_EQ(frame.RenderedBitmap(), nullptr);
    EXPECT_EQ(seen.back(), std::make_pair(TProgressStage::psEnding, 0));
    image.OnProgress = nullptr;
    EXPECT_NE(frame.RenderedBitmap(), nullptr);
}

// A 2 x 2 screen with a 1 x 1 red frame at (1, 1), drawn on a white canvas.
struct DrawCase {
    const char* name;
    TRect rect;
    bool tile;
    std::vector<TRect> red;  // where red must be; everything else stays white
};

TEST(FrameRenderTest, DrawFramePlacesScalesAndTiles)
{
    const DrawCase cases[] = {
        {"same size", {0, 0, 2, 2}, false, {{1, 1, 2, 2}}},
        {"twice the screen", {0, 0, 4, 4}, false, {{2, 2, 4, 4}}},
        {"offset rectangle", {2, 1, 6, 5}, false, {{4, 3, 6, 5}}},
        {"tiled", {1, 1, 4, 3}, true, {{1, 1, 4, 3}}},
    };
    for (const DrawCase& c : cases) {
        TGIFImage image;
        image.SetWidth(2);
        image.SetHeight(2);
        TGIFSubImage& frame = MakeFrame(image, Bounds(1, 1, 1, 1), {kRed}, [](int, int) { return 0; });
        TBitmap target(6, 6, PixelFormat::pf24bit);
        TCanvas canvas(target);
        canvas.FillRect({0, 0, 6, 6}, kWhite);
        frame.DrawFrame(canvas, c.rect, c.tile, false);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                bool red = false;
                for (const TRect& r : c.red)
                    red = red || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
                EXPECT_EQ(target.PixelColor(x, y), red ? kRed : kWhite) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(FrameRenderTest, TransparentDrawingKeepsTheCanvasUnderMaskedPixels)
{
    for (bool transparent : {false, true}) {
        TGIFImage image;
        TGIFSubImage& frame =
            MakeFrame(image, Bounds(0, 0, 2, 1), {kRed, kGreen}, [](int x, int) { return uint8_t(x); }, 1);
        TBitmap target(2, 1, PixelFormat::pf24bit);
        TCanvas canvas(target);
        canvas.FillRect({0, 0, 2, 1}, kBlue);
        frame.DrawFrame(canvas, {0, 0, 2, 1}, false, transparent);
        EXPECT_EQ(target.PixelColor(0, 0), kRed);
        EXPECT_EQ(target.PixelColor(1, 0), transparent ? kBlue : kGreen);
    }
}

TEST(FrameRenderTest, AMapChangeDropsTheRenderingAndAssignToGivesACopy)
{
    TGIFImage image;
    TGIFSubImage& frame = MakeFrame(image, Bounds(0, 0, 2, 2), {kRed, kGreen}, [](int x, int) { return uint8_t(x); });
    ASSERT_EQ(frame.RenderedBitmap()->PixelColor(0, 0), kRed);
    frame.ColorMap().SetColorAt(0, kBlue);
    EXPECT_EQ(frame.RenderedBitmap()->PixelColor(0, 0), kBlue);
    TBitmap copy;
    copy.Assign(frame);
    EXPECT_TRUE(copy.SamePicture(*frame.RenderedBitmap()));
    TGIFImage other;
    EXPECT_FALSE(frame.AssignTo(other));
}

} // namespace
} // namespace animora

namespace animora {
namespace {

TEST(FrameDitherTest, DitheredFramesUseTheCubeAndStepOverTransparentPixels)
{
    TGIFImage image;
    image.SetDrawOptions(drDither);  // dither on any display
    // Column 0: a cube colour; column 1: a colour between cube levels; the
    // last pixel transparent.
    TGIFSubImage& frame = MakeFrame(image, Bounds(0, 0, 3, 40), {MakeColor(51, 102, 153), MakeColor(30, 30, 30), kWhite},
                                    [](int x, int y) { return uint8_t(x < 2 ? x : (y == 39 ? 2 : 0)); }, 2);
    const TBitmap* bitmap = frame.RenderedBitmap();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Palette().Count(), 216);
    EXPECT_EQ(*frame.FramePalette(), bitmap->Palette());
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(bitmap->ScanLine(y)[0], 36 * 1 + 6 * 2 + 3) << y;
        const uint8_t mixed = bitmap->ScanLine(y)[1];
        EXPECT_TRUE(mixed == 0 || mixed == 36 + 6 + 1) << y << ": " << int(mixed);
    }
    // White's cube entry (215), one up: only ever seen without the mask.
    EXPECT_EQ(bitmap->ScanLine(39)[2], 216);
    ASSERT_TRUE(frame.HasMask());
    EXPECT_NE(frame.Mask()->PixelColor(2, 39), 0u);
    EXPECT_EQ(frame.Mask()->PixelColor(2, 38), 0u);
}

TEST(FrameDIBTest, SizesFollowTheFormat)
{
    const struct {
        PixelFormat format;
        int width;
        size_t header, image;
    } cases[] = {{PixelFormat::pf1bit, 33, 48, 16},
                 {PixelFormat::pf4bit, 3, 104, 8},
                 {PixelFormat::pf8bit, 3, 1064, 8},
                 {PixelFormat::pf24bit, 5, 40, 32}};
    for (const auto& c : cases) {
        TBitmap bitmap(c.width, 2, PixelFormat::pf24bit);
        const TDIBSizeInfo sizes = DIBSizes(bitmap, c.format);
        EXPECT_EQ(sizes.headerSize, c.header) << int(c.format);
        EXPECT_EQ(sizes.imageSize, c.image) << int(c.format);
        TBitmapInfo info;
        std::vector<uint8_t> bits(sizes.imageSize);
        EXPECT_TRUE(DIBBits(bitmap, nullptr, info, c.format, bits)) << int(c.format);
    }
    // The colour engine's DIB refuses it, with the platform's error.
    EXPECT_THROW(DIBSizes(TBitmap(1, 1), PixelFormat::pf32bit), EInvalidGraphic);
}

} // namespace
} // namespace animora
