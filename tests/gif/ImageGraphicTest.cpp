// The GIF image as a graphic: frames from other graphics, the image bitmap,
// drawing, palettes and their change notification, the dither decision,
// the clipboard and the codec's start-up.
#include <gtest/gtest.h>

#include "gif/GIFCodec.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Clipboard.h"
#include "platform/Errors.h"
#include "platform/PictureFormats.h"

namespace animora {
namespace {

const TColor kRed = MakeColor(255, 0, 0);
const TColor kGreen = MakeColor(0, 255, 0);
const TColor kWhite = MakeColor(255, 255, 255);

// A 4 x 2 screen, frame 0 a red 2 x 1 frame at (2, 1) with a green right
// pixel that is transparent, optionally more frames.
void BuildImage(TGIFImage& image, int frames = 1)
{
    image.Header().ColorMap().AddColor(kRed);
    image.Header().ColorMap().AddColor(kGreen);
    image.SetWidth(4);
    image.SetHeight(2);
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(&image);
        frame->SetBounds(2, 1, 2, 1);
        frame->ScanLine(0)[1] = 1;
        auto control = std::make_unique<TGIFGraphicControlExtension>(*frame);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(1);
        frame->Extensions().Append(std::move(control));
        image.Add(std::move(frame));
    }
}

class TNotAGraphic : public TPersistent {};

TEST(ImageGraphicTest, AddTakesGraphicsAndFramesOnly)
{
    TGIFImage image;
    TBitmap bitmap(3, 2, PixelFormat::pf8bit);
    EXPECT_EQ(image.Add(bitmap), 0);
    EXPECT_EQ(image.Images().SubImage(0)->Width(), 3);
    EXPECT_EQ(image.Add(*image.Images().SubImage(0)), 1);
    try {
        image.Add(TNotAGraphic());
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Object type not supported for operation");
    }
    EXPECT_EQ(image.Images().Count(), 2);
}

TEST(ImageGraphicTest, AssignFromABitmapMakesOneFrameAndOthersAreRefused)
{
    TGIFImage image;
    BuildImage(image, 3);
    TBitmap bitmap(5, 4, PixelFormat::pf4bit);
    image.Assign(bitmap);
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_EQ(image.GetHeight(), 4);
    try {
        image.Assign(TNotAGraphic());
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPersistent to a TGIFImage");
    }
    EXPECT_TRUE(image.GetEmpty());
}

TEST(ImageGraphicTest, TheImageBitmapShowsFrameZeroAtItsPlace)
{
    TGIFImage image;
    BuildImage(image);
    TBitmap bitmap;
    bitmap.Assign(image);
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.PixelColor(2, 1), kRed);
    EXPECT_EQ(bitmap.PixelColor(3, 1), kGreen);  // drawn without transparency
    EXPECT_EQ(bitmap.PixelColor(0, 0), 0u);
    EXPECT_EQ(image.FirstFrameBitmap(), image.FirstFrameBitmap());

    // A frame filling the screen gives its own rendering.
    TGIFImage full;
    full.Assign(TBitmap(3, 3, PixelFormat::pf8bit));
    EXPECT_EQ(full.FirstFrameBitmap()->GetPixelFormat(), PixelFormat::pf8bit);
    EXPECT_EQ(TGIFImage().FirstFrameBitmap(), nullptr);
}

TEST(ImageGraphicTest, DrawingAStillImageHonoursTransparencyAndTiling)
{
    const struct {
        const char* name;
        uint16_t options;
        TRect rect;
        std::vector<std::pair<int, int>> red, green;
    } cases[] = {
        {"transparent", drTransparent, {0, 0, 4, 2}, {{2, 1}}, {}},  // (3, 1) stays white
        {"opaque", 0, {0, 0, 4, 2}, {{2, 1}}, {{3, 1}}},
        {"stretched", 0, {0, 0, 8, 4}, {{4, 2}, {5, 3}}, {{6, 2}, {7, 3}}},
        {"tiled", drTile, {0, 0, 4, 2}, {{0, 0}, {0, 1}, {2, 1}}, {{1, 0}, {3, 1}}},
    };
    for (const auto& c : cases) {
        TGIFImage image;
        BuildImage(image);
        image.SetDrawOptions(c.options);
        TBitmap target(8, 4, PixelFormat::pf24bit);
        TCanvas canvas(target);
        canvas.FillRect({0, 0, 8, 4}, kWhite);
        image.Draw(canvas, c.rect);
        for (const auto& [x, y] : c.red)
            EXPECT_EQ(target.PixelColor(x, y), kRed) << c.name << " " << x << "," << y;
        for (const auto& [x, y] : c.green)
            EXPECT_EQ(target.PixelColor(x, y), kGreen) << c.name << " " << x << "," << y;
    }
}

TEST(ImageGraphicTest, DitherDecision)
{
    const struct {
        uint16_t options;
        bool paletteDevice;
        bool dither;
    } cases[] = {
        {0, true, false},
        {drDither, false, true},
        {drDither, true, true},
        {drDither | drAutoDither, false, false},
        {drDither | drAutoDither, true, true},
        {drAutoDither, true, false},
    };
    const bool saved = GIFCodecSettings().PaletteDevice;
    for (const auto& c : cases) {
        GIFCodecSettings().PaletteDevice = c.paletteDevice;
        TGIFImage image;
        image.SetDrawOptions(c.options);
        EXPECT_EQ(image.DitherFrames(), c.dither) << c.options << " " << c.paletteDevice;
    }
    GIFCodecSettings().PaletteDevice = saved;
}

TEST(ImageGraphicTest, ANewPaletteLetsGoOfABitmapOfOtherColours)
{
    TGIFImage image;
    BuildImage(image);
    int changes = 0;
    image.OnChange = [&](TPersistent&) { ++changes; };
    ASSERT_NE(image.FirstFrameBitmap(), nullptr);
    image.SetPalette(std::make_unique<TPalette>(std::vector<TPaletteEntry>{{1, 2, 3, 0}}));
    EXPECT_TRUE(image.PaletteModified());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.GetPalette()->Color(0), MakeColor(1, 2, 3));
}

TEST(ImageGraphicTest, ClipboardCarriesTheGIFAndItsBitmap)
{
    TMemoryClipboard clipboard;
    SetClipboard(&clipboard);
    TGIFImage image;
    BuildImage(image, 2);
    CopyToClipboard(image);
    EXPECT_TRUE(clipboard.HasFormat("GIF Image"));
    EXPECT_TRUE(clipboard.HasFormat(kClipboardBitmapFormat));

    TGIFImage pasted;
    PasteFromClipboard(pasted, "GIF Image");
    EXPECT_EQ(test::SaveBytes(pasted), test::SaveBytes(image));
    TGIFImage fromBitmap;
    PasteFromClipboard(fromBitmap, kClipboardBitmapFormat);
    EXPECT_EQ(fromBitmap.Images().Count(), 1);
    EXPECT_EQ(fromBitmap.GetWidth(), 4);
    try {
        PasteFromClipboard(fromBitmap, "Text");
        FAIL();
    } catch (const EAnimoraError& e) {
        EXPECT_STREQ(e.what(), "Unsupported clipboard format");
    }
    clipboard.refuse = true;
    std::string format;
    std::vector<uint8_t> data;
    try {
        image.SaveToClipboardFormat(format, data);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Failed to store GIF on clipboard");
    }
    SetClipboard(nullptr);
}

TEST(ImageGraphicTest, StartingTheCodecRegistersTheGIFKind)
{
    StartGIFCodec(8);
    EXPECT_TRUE(GIFCodecSettings().PaletteDevice);
    StartGIFCodec(24);
    EXPECT_FALSE(GIFCodecSettings().PaletteDevice);
    const TPictureFormat* format = FindFileFormat(".gif");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->description, "GIF Image");
    EXPECT_EQ(format->make()->ClassName(), "TGIFImage");
    EXPECT_NE(FindClipboardFormat("GIF Image"), nullptr);
    StopGIFCodec();
    EXPECT_EQ(FindFileFormat("GIF"), nullptr);
}

} // namespace
} // namespace animora

namespace animora {
namespace {

TEST(ImageGraphicTest, AssigningAnImageOrFrameFromItsOwnPicturesIsSafe)
{
    TGIFImage image;
    BuildImage(image, 2);
    image.Assign(*image.FirstFrameBitmap());
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.GetWidth(), 4);
    image.Assign(*image.Images().SubImage(0)->RenderedBitmap());
    EXPECT_EQ(image.Images().Count(), 1);
    TGIFImage other;
    BuildImage(other, 2);
    other.Assign(*other.Images().SubImage(1));  // a frame of the global map, which Clear empties
    EXPECT_EQ(other.Images().Count(), 1);
    EXPECT_EQ(other.Images().SubImage(0)->PixelAt(1, 0), 1);
    TGIFSubImage& frame = *image.Images().SubImage(0);
    frame.Assign(*frame.RenderedBitmap());
    EXPECT_EQ(frame.Width(), 4);
    EXPECT_EQ(frame.RenderedBitmap()->PixelColor(2, 1), kRed);
}

} // namespace
} // namespace animora

namespace animora {
namespace {

TEST(ImageGraphicTest, FramesRenderWhileLoadingOnlyWhenAsked)
{
    TGIFImage source;
    BuildImage(source, 3);
    const std::vector<uint8_t> bytes = test::SaveBytes(source);
    for (bool renderOnLoad : {false, true}) {
        GIFCodecSettings().RenderOnLoad = renderOnLoad;
        TGIFImage image;
        int renderings = 0;
        image.OnProgress = [&](TPersistent&, TProgressStage stage, int, bool, const std::string& message) {
            renderings += stage == TProgressStage::psStarting && message == "Rendering...";
        };
        test::LoadBytes(image, bytes);
        EXPECT_EQ(renderings, renderOnLoad ? 3 : 0);
    }
    GIFCodecSettings().RenderOnLoad = false;
}

} // namespace
} // namespace animora
