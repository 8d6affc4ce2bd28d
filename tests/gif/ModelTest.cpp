// The object model: colour maps, frames, lists, graphic control and the
// settings of a new image.
#include <gtest/gtest.h>

#include "gif/AppExtension.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"

namespace animora {
namespace {

using test::Warnings;

// An image with one frame of the given bounds; the frame is owned by the image.
TGIFSubImage& AddFrame(TGIFImage& image, int left, int top, int width, int height)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage& ref = *frame;
    image.Add(std::move(frame));
    ref.SetBounds(left, top, width, height);
    return ref;
}

TEST(ColorMapTest, ReserveGrowsInSteps)
{
    const struct {
        int start, request, capacity;
    } cases[] = {{0, 1, 16}, {0, 16, 16}, {0, 17, 32}, {0, 250, 256}, {32, 20, 32}, {16, 16, 16}};
    for (const auto& c : cases) {
        TGIFImage image;
        TGIFColorMap& map = image.Header().ColorMap();
        if (c.start)
            map.Reserve(c.start);
        map.Reserve(c.request);
        EXPECT_EQ(map.Capacity(), c.capacity) << c.start << " then " << c.request;
    }
}

TEST(ColorMapTest, OverflowAtTheLimitChangesNothing)
{
    TGIFImage image;
    TGIFColorMap& map = image.Header().ColorMap();
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(map.AddColor(static_cast<TColor>(i)), i);
    EXPECT_THROW(
        {
            try {
                map.AddColor(0x123456);
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Color table overflow");
                throw;
            }
        },
        GIFException);
    EXPECT_EQ(map.Count(), 256);
    EXPECT_EQ(map.BitDepth(), 8);
}

TEST(ColorMapTest, FindColorSearchesByOrderOfUse)
{
    TGIFImage image;
    TGIFColorMap& map = image.Header().ColorMap();
    for (int i = 0; i < 8; ++i)
        map.AddColor(i == 2 || i == 7 ? 0xABCDEF : static_cast<TColor>(i));
    EXPECT_EQ(map.FindColor(0xABCDEF), 7);  // unsorted: the last match wins
    EXPECT_EQ(map.FindColor(0x777777), -1);
    EXPECT_EQ(map.FindOrAddColor(0x777777), 8);

    // Frame pixels use entry 2 more than entry 7: after sorting, it comes first.
    TGIFSubImage& frame = AddFrame(image, 0, 0, 5, 1);
    const uint8_t pixels[5] = {2, 2, 2, 7, 7};
    std::copy(pixels, pixels + 5, frame.Data());
    EXPECT_TRUE(map.OptimizeEntries());
    EXPECT_TRUE(map.Sorted());
    EXPECT_EQ(map.Count(), 2);  // unused entries dropped
    EXPECT_EQ(map.FindColor(0xABCDEF), 0);
    EXPECT_EQ(frame.PixelAt(0, 0), 0);
    EXPECT_EQ(frame.PixelAt(3, 0), 1);
}

TEST(ColorMapTest, OptimizeRemapsTheTransparentIndex)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 3, 1);
    for (TColor c : {0x10u, 0x20u, 0x30u})
        frame.ColorMap().AddColor(c);
    auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(2);
    frame.Extensions().Append(std::move(control));
    const uint8_t pixels[3] = {2, 2, 1};
    std::copy(pixels, pixels + 3, frame.Data());
    EXPECT_TRUE(frame.ColorMap().OptimizeEntries());
    EXPECT_EQ(frame.GraphicControl()->TransparentColorIndex(), 0);
    EXPECT_EQ(frame.ColorMap().ColorAt(0), 0x30u);
    EXPECT_EQ(frame.ColorMap().Count(), 2);
}

TEST(ColorMapTest, OptimizeNeedsTwoEntriesAndTheGlobalMapFrames)
{
    TGIFImage image;
    image.Header().ColorMap().AddColor(1);
    EXPECT_FALSE(image.Header().ColorMap().OptimizeEntries());
    image.Header().ColorMap().AddColor(2);
    EXPECT_FALSE(image.Header().ColorMap().OptimizeEntries());  // no frames
}

TEST(ColorMapTest, RangeErrorsAndWarnings)
{
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    TGIFColorMap& map = image.Header().ColorMap();
    EXPECT_THROW(map.ColorAt(0), GIFException);  // "Color table is empty", after a warning
    for (TColor c : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0xFFFFFFu})
        map.AddColor(c);
    EXPECT_EQ(map.ColorAt(300), 0x0000FFu);
    EXPECT_EQ(warnings.messages, std::vector<std::string>({"Invalid color index", "Invalid color index"}));
    EXPECT_THROW(map.RemoveColor(4), GIFException);
    EXPECT_THROW(map.SetColorAt(-1, 0), GIFException);
    map.RemoveColor(0);
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.ColorAt(0), 0x00FF00u);
    map.SetColorAt(0, 0x123456);
    EXPECT_EQ(map.ColorAt(0), 0x123456u);
    try {
        TGIFImage empty;
        empty.Header().ColorMap().ColorAt(0);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table is empty");
    }
}

TEST(ColorMapTest, FillsFromQuadsAndTriples)
{
    TGIFImage image;
    TGIFColorMap& map = image.Header().ColorMap();
    const uint8_t quads[8] = {1, 2, 3, 0, 4, 5, 6, 0};  // blue, green, red, unused
    map.FillFromRGBQuads(quads, 2);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.ColorAt(1), 0x040506u);
    const uint8_t triples[3] = {7, 8, 9};  // red, green, blue
    map.FillFromRGBTriples(triples, 1);
    EXPECT_EQ(map.ColorAt(0), 0x090807u);
    map.FillFromRGBTriples(triples, 0);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.MakePalette(), nullptr);

    map.FillFromPalette(StockSystemPalette());
    EXPECT_EQ(map.Count(), 20);
    const auto palette = map.MakePalette();
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->Count(), 20);
    EXPECT_EQ(palette->Color(19), StockSystemPalette().Color(19));
    EXPECT_EQ((*palette)[0].flags, pcNoCollapse);
}

TEST(FrameTest, BoundsReallocatePixelsAndWidenTheScreen)
{
    struct Case {
        int screenWidth;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {120, {"Image width too small for contained frames", "Image exceeds Logical Screen size"}},
        {0, {}},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        Warnings warnings;
        warnings.Attach(image);
        image.Header().SetScreenWidth(static_cast<uint16_t>(c.screenWidth));
        image.Header().SetScreenHeight(100);
        TGIFSubImage& frame = AddFrame(image, 100, 0, 50, 10);
        EXPECT_EQ(image.GetWidth(), 150);
        EXPECT_EQ(warnings.messages, c.warnings) << "screen width " << c.screenWidth;
        frame.ScanLine(3)[7] = 9;
        frame.SetWidth(40);  // only the width changes: new pixels, all zero
        EXPECT_EQ(frame.DataSize(), 400u);
        EXPECT_EQ(frame.PixelAt(7, 3), 0);
        EXPECT_EQ(frame.BoundsRect(), (TRect{100, 0, 140, 10}));
    }
}

TEST(FrameTest, PixelAccessChecksCoordinates)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 2, 2);
    EXPECT_THROW(frame.ScanLine(2), GIFException);
    EXPECT_THROW(frame.PixelAt(-1, 0), GIFException);
    frame.SetBounds(0, 0, 0, 5);
    EXPECT_TRUE(frame.IsEmpty());
    try {
        frame.ScanLine(0);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image is empty");
    }
}

TEST(FrameTest, HugeBoundsAreRefusedBeforeAllocating)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 0, 0, 1, 1);
    EXPECT_THROW(frame.SetBounds(0, 0, 65535, 65535), GIFException);
    EXPECT_EQ(frame.Width(), 1);
}

TEST(ListTest, FreedItemsDetachAndIndicesAreChecked)
{
    TGIFImage image;
    TGIFSubImage& first = AddFrame(image, 0, 0, 1, 1);
    AddFrame(image, 0, 0, 2, 1);
    AddFrame(image, 0, 0, 3, 1);
    delete &first;  // a frame freed on its own leaves its list
    ASSERT_EQ(image.Images().Count(), 2);
    EXPECT_EQ(image.Images().SubImage(0)->Width(), 2);
    image.Images().Exchange(0, 1);
    EXPECT_EQ(image.Images().SubImage(0)->Width(), 3);
    image.Images().MoveItem(0, 1);
    EXPECT_EQ(image.Images().SubImage(1)->Width(), 3);
    try {
        image.Images().ItemAt(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(image.Images().DeleteAt(-1), EListError);
    EXPECT_THROW(image.Images().Exchange(0, 2), EListError);

    TGIFSubImage& frame = *image.Images().SubImage(0);
    auto* comment = new TGIFCommentExtension(frame);
    frame.Extensions().Append(std::unique_ptr<TGIFExtension>(comment));
    EXPECT_EQ(frame.RequiredVersion(), gv89a);
    delete comment;
    EXPECT_EQ(frame.Extensions().Count(), 0);
    EXPECT_EQ(frame.RequiredVersion(), gv87a);
}

TEST(GraphicControlTest, KeepsTheFrameInStep)
{
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    TGIFSubImage& frame = AddFrame(image, 0, 0, 1, 1);
    frame.ColorMap().AddColor(0);
    frame.ColorMap().AddColor(1);
    auto* first = new TGIFGraphicControlExtension(frame);
    auto* second = new TGIFGraphicControlExtension(frame);
    frame.Extensions().Append(std::unique_ptr<TGIFExtension>(first));
    frame.Extensions().Append(std::unique_ptr<TGIFExtension>(second));
    EXPECT_EQ(frame.GraphicControl(), first);  // the first one is the reference

    first->SetTransparent(true);
    EXPECT_TRUE(frame.Transparent());
    first->SetTransparentColorIndex(5);  // outside the 2-entry map
    EXPECT_EQ(first->TransparentColorIndex(), 0);
    EXPECT_EQ(warnings.messages, std::vector<std::string>{"Invalid color index"});
    first->SetDisposal(9);
    EXPECT_EQ(first->Disposal(), 1);
    first->SetUserInput(true);
    EXPECT_EQ(first->PackedFields(), 0x07);

    frame.Extensions().DeleteAt(0);
    EXPECT_FALSE(frame.Transparent());
    EXPECT_EQ(frame.GraphicControl(), nullptr);
    EXPECT_EQ(frame.Extensions().Extension(0), second);
}

TEST(ImageTest, NewImageDefaultsAndSettings)
{
    TGIFImage image;
    EXPECT_EQ(image.DrawOptions(), 0x060F);
    EXPECT_EQ(image.ReductionMode(), 6);
    EXPECT_EQ(image.ReductionBits(), 8);
    EXPECT_EQ(image.DitherStyle(), 0);
    EXPECT_EQ(image.Encoding(), 0);
    EXPECT_EQ(image.AnimationSpeed(), 100);
    EXPECT_EQ(image.PainterPriority(), 3);
    EXPECT_EQ(image.BackdropColor(), 0x1FFFFFFFu);
    EXPECT_TRUE(image.GetEmpty());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);

    image.SetAnimationSpeed(1500);
    EXPECT_EQ(image.AnimationSpeed(), 1000);
    image.SetAnimationSpeed(-5);
    EXPECT_EQ(image.AnimationSpeed(), 0);
    EXPECT_THROW(image.SetReductionBits(2), GIFException);
    EXPECT_EQ(image.ReductionBits(), 8);
}

TEST(ImageTest, PaletteComesFromTheMapsInOrder)
{
    TGIFImage image;
    EXPECT_EQ(image.GetPalette(), nullptr);  // no frames
    TGIFSubImage& frame = AddFrame(image, 0, 0, 1, 1);
    try {
        image.GetPalette();  // no colours anywhere: frame 0 asks the image again
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "No global or local color table defined");
    }
    frame.ColorMap().AddColor(0x0000FF);
    ASSERT_NE(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetPalette()->Color(0), 0x0000FFu);
    image.Header().ColorMap().AddColor(0x00FF00);  // a global map change drops the cached palettes
    EXPECT_EQ(image.GetPalette()->Color(0), 0x00FF00u);
    EXPECT_EQ(frame.Palette()->Color(0), 0x0000FFu);
    frame.ColorMap().SetColorAt(0, 0x123456);
    EXPECT_EQ(frame.Palette()->Color(0), 0x123456u);
}

TEST(ImageTest, ScreenSizeMustHoldEveryFrame)
{
    TGIFImage image;
    AddFrame(image, 10, 5, 20, 20);
    EXPECT_THROW(image.SetWidth(29), GIFException);
    EXPECT_EQ(image.GetWidth(), 30);
    EXPECT_THROW(image.SetHeight(24), GIFException);
    image.SetWidth(40);
    EXPECT_EQ(image.GetWidth(), 40);
}

TEST(ImageTest, AssignCopiesTheTreeAndNotTheHandlers)
{
    TGIFImage source;
    source.WarningHandler = [](TPersistent&, int, const std::string&) {};
    source.SetDrawOptions(0x0003);
    source.Header().ColorMap().AddColor(0xFF);
    source.Header().ColorMap().AddColor(0xFF00);
    TGIFSubImage& frame = AddFrame(source, 1, 2, 3, 4);
    frame.ScanLine(1)[2] = 1;
    auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
    loop->SetLoops(7);
    frame.Extensions().Append(std::move(loop));

    TGIFImage copy;
    copy.Assign(source);
    EXPECT_FALSE(copy.WarningHandler);
    EXPECT_EQ(copy.DrawOptions(), 0x0003);
    EXPECT_EQ(test::SaveBytes(copy), test::SaveBytes(source));
    EXPECT_EQ(copy.Images().SubImage(0)->PixelAt(2, 1), 1);
}

} // namespace
} // namespace animora
