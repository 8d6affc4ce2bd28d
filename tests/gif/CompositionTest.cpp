// Composition frame by frame on small screens: the disposal table, the
// buffers, restoring a frame's area scaled and tiled, the background colour.
#include <gtest/gtest.h>

#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {
namespace {

constexpr TColor kBlack = 0x000000, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr TColor kGrey = 0x808080;  // what the target shows before playing

struct Frame {
    TRect rect;
    int color;  // index into the global map: 0 black, 1 red, 2 green, 3 blue, 4 white
    int disposal;
    bool transparent = false;  // the frame's colour is its transparent one
};

std::unique_ptr<TGIFImage> MakeImage(int width, int height, const std::vector<Frame>& frames, int background = 4)
{
    auto image = std::make_unique<TGIFImage>();
    for (TColor color : {kBlack, kRed, kGreen, kBlue, kWhite})
        image->Header().ColorMap().AddColor(color);
    image->Header().SetBackgroundColorIndex(static_cast<uint8_t>(background));
    image->SetWidth(width);
    image->SetHeight(height);
    for (const Frame& spec : frames) {
        auto frame = std::make_unique<TGIFSubImage>(image.get());
        TGIFSubImage& ref = *frame;
        image->Add(std::move(frame));
        ref.SetBounds(spec.rect.left, spec.rect.top, spec.rect.Width(), spec.rect.Height());
        std::fill(ref.Data(), ref.Data() + ref.DataSize(), static_cast<uint8_t>(spec.color));
        auto control = std::make_unique<TGIFGraphicControlExtension>(ref);
        control->SetDisposal(spec.disposal);
        if (spec.transparent) {
            control->SetTransparent(true);
            control->SetTransparentColorIndex(spec.color);
        }
        ref.Extensions().Append(std::move(control));
    }
    return image;
}

std::vector<TColor> Row(const TBitmap& bitmap, int y = 0)
{
    std::vector<TColor> row;
    for (int x = 0; x < bitmap.Width(); ++x)
        row.push_back(bitmap.PixelColor(x, y));
    return row;
}

struct Screen {
    TBitmap bitmap;
    TCanvas canvas;
    explicit Screen(int width, int height) : bitmap(width, height, PixelFormat::pf32bit), canvas(bitmap)
    {
        canvas.FillRect(Bounds(0, 0, width, height), kGrey);
    }
};

// Plays the frames in order and answers the target's top row after each.
std::vector<std::vector<TColor>> PlayRows(TGIFImage& image, uint16_t options, Screen& screen)
{
    TGIFComposition composition(image, options, Bounds(0, 0, screen.bitmap.Width(), screen.bitmap.Height()),
                                screen.canvas);
    std::vector<std::vector<TColor>> rows;
    int previous = 1;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const int disposal = FrameDisposal(*image.Images().SubImage(i));
        EXPECT_TRUE(composition.Paint(i, disposal, previous));
        previous = disposal;
        rows.push_back(Row(screen.bitmap));
    }
    return rows;
}

TEST(CompositionTest, DisposalMethods)
{
    const TRect left{0, 0, 1, 1}, right{1, 0, 2, 1}, whole{0, 0, 2, 1};
    const struct {
        const char* name;
        std::vector<Frame> frames;
        uint16_t options;
        std::vector<std::vector<TColor>> rows;
    } cases[] = {
        {"keep: frames pile up", {{whole, 1, 1}, {left, 2, 1}, {right, 3, 0}}, 0,
         {{kRed, kRed}, {kGreen, kRed}, {kGreen, kBlue}}},
        {"restore previous after keep", {{whole, 1, 1}, {left, 2, 3}, {right, 3, 1}}, 0,
         {{kRed, kRed}, {kGreen, kRed}, {kRed, kBlue}}},
        {"restore background paints the background colour", {{left, 1, 2}, {right, 2, 1}}, 0,
         {{kRed, kGrey}, {kWhite, kGreen}}},
        {"with transparency it puts back the saved background", {{left, 1, 2}, {right, 2, 1}}, drTransparent,
         {{kRed, kGrey}, {kGrey, kGreen}}},
        {"restore previous after restore background", {{left, 1, 2}, {right, 2, 3}, {right, 3, 1}}, 0,
         {{kRed, kGrey}, {kWhite, kGreen}, {kWhite, kBlue}}},
        {"restore previous after restore previous", {{whole, 1, 1}, {left, 2, 3}, {right, 3, 3}, {left, 0, 1}}, 0,
         {{kRed, kRed}, {kGreen, kRed}, {kRed, kBlue}, {kBlack, kRed}}},
        {"undefined disposals paint nothing when buffered", {{whole, 1, 3}, {left, 2, 5}, {right, 3, 7}}, 0,
         {{kRed, kRed}, {kRed, kRed}, {kRed, kRed}}},
        {"direct painting ignores disposal", {{whole, 1, 1}, {left, 2, 5}}, 0, {{kRed, kRed}, {kGreen, kRed}}},
        {"transparent pixels leave what is below", {{whole, 1, 1}, {left, 2, 1, true}}, drTransparent,
         {{kRed, kRed}, {kRed, kRed}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = MakeImage(2, 1, c.frames);
        Screen screen(2, 1);
        EXPECT_EQ(PlayRows(*image, c.options, screen), c.rows);
    }
}

TEST(CompositionTest, BuffersFollowTheDisposalsInUse)
{
    const TRect whole{0, 0, 2, 1};
    const struct {
        std::vector<int> disposals;
        uint16_t options;
        bool buffered, saved;
    } cases[] = {
        {{0, 1}, 0, false, false},
        {{1, 2}, 0, true, false},
        {{1, 2}, drTransparent, true, true},
        {{1, 3}, drTransparent, true, false},
        {{1, 1}, drClearOnLoop | drTransparent, true, true},
    };
    for (const auto& c : cases) {
        std::vector<Frame> frames;
        for (int disposal : c.disposals)
            frames.push_back({whole, 1, disposal});
        auto image = MakeImage(2, 1, frames);
        Screen screen(2, 1);
        TGIFComposition composition(*image, c.options, Bounds(0, 0, 2, 1), screen.canvas);
        EXPECT_EQ(composition.Buffered(), c.buffered);
        EXPECT_EQ(composition.SavedBackground() != nullptr, c.saved);
        composition.Release();
        EXPECT_EQ(composition.BackupBuffer(), nullptr);
    }
}

TEST(CompositionTest, RestoresTheFrameAreaScaledIntoTheRectangle)
{
    // A 2 x 1 screen shown at 4 x 2: the left pixel covers a 2 x 2 block.
    auto image = MakeImage(2, 1, {{{0, 0, 1, 1}, 1, 2}, {{1, 0, 2, 1}, 2, 1}});
    Screen screen(4, 2);
    PlayRows(*image, 0, screen);
    EXPECT_EQ(Row(screen.bitmap, 0), (std::vector<TColor>{kWhite, kWhite, kGreen, kGreen}));
    EXPECT_EQ(Row(screen.bitmap, 1), (std::vector<TColor>{kWhite, kWhite, kGreen, kGreen}));
}

TEST(CompositionTest, RestoresTheFrameAreaInEveryTile)
{
    const struct {
        uint16_t options;
        std::vector<TColor> backup;
    } cases[] = {
        {drTile, {kWhite, kRed, kWhite, kRed, kWhite}},
        {drTile | drTransparent, {kGrey, kRed, kGrey, kRed, kGrey}},
    };
    for (const auto& c : cases) {
        // Two tiles and a half of a 2 x 1 screen; the frame is its left pixel.
        auto image = MakeImage(2, 1, {{{0, 0, 1, 1}, 1, 2}});
        Screen screen(5, 1);
        TGIFComposition composition(*image, c.options, Bounds(0, 0, 5, 1), screen.canvas);
        ASSERT_TRUE(composition.Paint(0, 2, 1));
        EXPECT_EQ(Row(screen.bitmap), (std::vector<TColor>(5, kRed)));
        EXPECT_EQ(Row(*composition.BackupBuffer()), c.backup);
    }
}

TEST(CompositionTest, ClearOnLoopRestoresTheFirstFrameAreaBeforeItIsDrawnAgain)
{
    // Frame 0 is transparent where it is drawn, so only the clearing shows.
    auto image = MakeImage(2, 1, {{{0, 0, 2, 1}, 1, 1, true}, {{0, 0, 1, 1}, 2, 1}});
    Screen screen(2, 1);
    TGIFComposition composition(*image, drClearOnLoop, Bounds(0, 0, 2, 1), screen.canvas);
    ASSERT_TRUE(composition.Paint(0, 1, 1));
    ASSERT_TRUE(composition.Paint(1, 1, 1));
    EXPECT_EQ(Row(screen.bitmap), (std::vector<TColor>{kGreen, kRed}));
    ASSERT_TRUE(composition.Paint(0, 1, 1));  // the next loop
    EXPECT_EQ(Row(screen.bitmap), (std::vector<TColor>{kRed, kRed}));
}

TEST(CompositionTest, BackgroundColour)
{
    const struct {
        TColor backdrop;
        bool globalMap;
        TColor expected;
    } cases[] = {
        {kNoBackdrop, true, kWhite},      // the header's background index 4
        {kBlue, true, kBlue},             // BackdropColor wins
        {kNoBackdrop, false, kWindowColor},
    };
    for (const auto& c : cases) {
        auto image = MakeImage(1, 1, {{{0, 0, 1, 1}, 1, 2}});
        image->SetBackdropColor(c.backdrop);
        if (!c.globalMap)
            image->Header().ColorMap().Reset();
        Screen screen(1, 1);
        EXPECT_EQ(TGIFComposition(*image, 0, Bounds(0, 0, 1, 1), screen.canvas).BackgroundColor(), c.expected);
    }
}

TEST(CompositionTest, CheckCanvasStopsWhenTheTargetIsGone)
{
    auto image = MakeImage(2, 1, {{{0, 0, 1, 1}, 1, 2}, {{1, 0, 2, 1}, 2, 1}});
    Screen screen(2, 1);
    TGIFComposition composition(*image, drCheckCanvas, Bounds(0, 0, 2, 1), screen.canvas);
    EXPECT_TRUE(composition.Paint(0, 2, 1));
    screen.bitmap.SetSize(0, 0);
    EXPECT_FALSE(composition.Paint(1, 1, 2));
}

TEST(CompositionTest, SelectsTheFramePalette)
{
    auto image = MakeImage(2, 1, {{{0, 0, 2, 1}, 1, 1}});
    Screen screen(2, 1);
    TGIFComposition composition(*image, 0, Bounds(0, 0, 2, 1), screen.canvas);
    ASSERT_TRUE(composition.Paint(0, 1, 1));
    EXPECT_EQ(composition.SelectedPalette(), image->Images().SubImage(0)->FramePalette());
}

} // namespace
} // namespace animora
