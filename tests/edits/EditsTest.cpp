// Whole-animation edits checked on what the result shows: each composed
// frame is matched to the source frame showing the same picture, so an edit
// that moves a frame holding only a change away from the picture it belongs
// on is caught, as are wrong delays.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <numeric>

#include "color/ColorTypes.h"
#include "edits/Edits.h"
#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/Painter.h"
#include "gif/SubImage.h"
#include "support/TestData.h"

namespace animora {
namespace {

using namespace edits;

// Screen 4 x 2 over 8 grays; frame 0 fills it with gray 0, each later frame
// is one pixel {x, y, colour}, as an optimised animation stores changes.
struct TPatch {
    int x, y, color, delay;
};

// With `local` every frame carries the grays in a table of its own.
std::unique_ptr<TGIFImage> MakeAnimation(const std::vector<TPatch>& patches, bool local = false)
{
    auto image = std::make_unique<TGIFImage>();
    image->Header().SetScreenWidth(4);
    image->Header().SetScreenHeight(2);
    for (int c = 0; c < 8 && !local; ++c)
        image->Header().ColorMap().AddColor(MakeColor(c * 30, c * 30, c * 30));
    for (size_t k = 0; k < patches.size(); ++k) {
        auto frame = std::make_unique<TGIFSubImage>(image.get());
        for (int c = 0; c < 8 && local; ++c)
            frame->ColorMap().AddColor(MakeColor(c * 30, c * 30, c * 30));
        const TPatch& p = patches[k];
        if (k == 0)
            frame->SetBounds(0, 0, 4, 2);
        else
            frame->SetBounds(p.x, p.y, 1, 1);
        std::memset(frame->Data(), p.color, frame->DataSize());
        auto control = std::make_unique<TGIFGraphicControlExtension>(*frame);
        control->SetDelay(static_cast<uint16_t>(p.delay));
        frame->Extensions().Append(std::move(control));
        image->Add(std::move(frame));
    }
    return image;
}

const std::vector<TPatch> kFive = {{0, 0, 0, 10}, {0, 0, 1, 20}, {1, 0, 2, 30}, {2, 1, 3, 40}, {3, 1, 4, 50}};

// The composed screens, one string of bytes per frame, handed on one by one.
void ForEachPicture(TGIFImage& image, const std::function<void(const std::string&)>& take)
{
    TBitmap screen(image.GetWidth(), image.GetHeight(), PixelFormat::pf32bit);
    TCanvas canvas(screen);
    TGIFComposition composition(image, drTransparent | drAnimate, Bounds(0, 0, screen.Width(), screen.Height()), canvas);
    int previous = 1;
    std::string bytes;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const int disposal = FrameDisposal(*image.Images().SubImage(i));
        composition.Paint(i, disposal, previous);
        previous = disposal;
        bytes.clear();
        for (int y = 0; y < screen.Height(); ++y)
            bytes.append(reinterpret_cast<const char*>(screen.ScanLine(y)), static_cast<size_t>(screen.Width()) * 4);
        take(bytes);
    }
}

std::vector<std::string> Pictures(TGIFImage& image)
{
    std::vector<std::string> pictures;
    ForEachPicture(image, [&](const std::string& picture) { pictures.push_back(picture); });
    return pictures;
}

std::vector<uint64_t> Hashes(TGIFImage& image)
{
    std::vector<uint64_t> hashes;
    ForEachPicture(image, [&](const std::string& picture) { hashes.push_back(std::hash<std::string>{}(picture)); });
    return hashes;
}

std::vector<int> Delays(const TGIFImage& image)
{
    std::vector<int> delays;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const auto* control = image.Images().SubImage(i)->GraphicControl();
        delays.push_back(control ? control->Delay() : -1);
    }
    return delays;
}

// For each picture of `edited`, the index of the first source picture equal to it, or -1.
std::vector<int> SourceOrder(TGIFImage& source, TGIFImage& edited)
{
    const std::vector<std::string> before = Pictures(source);
    std::vector<int> order;
    for (const std::string& picture : Pictures(edited)) {
        const auto it = std::find(before.begin(), before.end(), picture);
        order.push_back(it == before.end() ? -1 : static_cast<int>(it - before.begin()));
    }
    return order;
}

int RunCli(const std::string& arguments, std::string* err = nullptr)
{
    // One file a process: ctest runs these tests side by side.
    const auto errFile =
        std::filesystem::temp_directory_path() / ("animora-edit-err-" + std::to_string(getpid()) + ".txt");
    const int status =
        std::system((std::string(ANIMORA_CLI_PATH) + " edit " + arguments + " >/dev/null 2>" + errFile.string()).c_str());
    if (err)
        *err = test::ReadFileText(errFile);
    return WEXITSTATUS(status);
}

class EditCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test::MakeTempDir("animora-edit");
        source_ = MakeAnimation(kFive);
        source_->SaveToFile(In());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string In() const { return (dir_ / "in.gif").string(); }
    std::string Out() const { return (dir_ / "out.gif").string(); }

    std::filesystem::path dir_;
    std::unique_ptr<TGIFImage> source_;
};

struct TCase {
    const char* options;
    std::vector<int> order;
    std::vector<int> delays;
};

TEST_F(EditCommand, EveryOptionShowsTheExpectedFramesAndDelays)
{
    const TCase cases[] = {
        {"--reverse", {4, 3, 2, 1, 0}, {50, 40, 30, 20, 10}},
        {"--pingpong", {0, 1, 2, 3, 4, 3, 2, 1}, {10, 20, 30, 40, 50, 40, 30, 20}},
        {"--delay 70", {0, 1, 2, 3, 4}, {7, 7, 7, 7, 7}},
        {"--delay 70:2-3", {0, 1, 2, 3, 4}, {10, 7, 7, 40, 50}},
        {"--speed 200", {0, 1, 2, 3, 4}, {5, 10, 15, 20, 25}},
        {"--speed 300", {0, 1, 2, 3, 4}, {3, 7, 10, 13, 17}},
        {"--delete 2-3", {0, 3, 4}, {10, 40, 50}},
        {"--move 1:3", {1, 2, 0, 3, 4}, {20, 30, 10, 40, 50}},
        {"--swap 1:5", {4, 1, 2, 3, 0}, {50, 20, 30, 40, 10}},
        {"--keep-every 2", {0, 2, 4}, {30, 70, 50}},
        {"--keep-every 3", {0, 3}, {60, 90}},
        {"--reverse --delete 1", {3, 2, 1, 0}, {40, 30, 20, 10}},
        {"--delete 1 --reverse", {4, 3, 2, 1}, {50, 40, 30, 20}},
        {"--pingpong --dedupe", {0, 1, 2, 3, 4, 3, 2, 1}, {10, 20, 30, 40, 50, 40, 30, 20}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.options);
        std::filesystem::remove(Out());
        ASSERT_EQ(RunCli(In() + " " + Out() + " " + c.options), 0);
        TGIFImage edited;
        edited.LoadFromFile(Out());
        EXPECT_EQ(SourceOrder(*source_, edited), c.order);
        EXPECT_EQ(Delays(edited), c.delays);
    }
}

TEST_F(EditCommand, DedupeDropsRepeatedPicturesAndSumsTheirDelays)
{
    // Frames 2 and 4 paint what is already there.
    auto image = MakeAnimation({{0, 0, 0, 10}, {1, 0, 5, 20}, {1, 0, 5, 30}, {2, 0, 6, 40}, {0, 1, 0, 50}});
    image->SaveToFile(In());
    ASSERT_EQ(RunCli(In() + " " + Out() + " --dedupe"), 0);
    TGIFImage edited;
    edited.LoadFromFile(Out());
    EXPECT_EQ(SourceOrder(*image, edited), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(Delays(edited), (std::vector<int>{10, 50, 90}));
}

TEST_F(EditCommand, CropKeepsTheRectangleOfEveryPicture)
{
    ASSERT_EQ(RunCli(In() + " " + Out() + " --crop 1,0,2,2"), 0);
    TGIFImage edited;
    edited.LoadFromFile(Out());
    ASSERT_EQ(edited.GetWidth(), 2);
    ASSERT_EQ(edited.GetHeight(), 2);
    EXPECT_EQ(Delays(edited), (std::vector<int>{10, 20, 30, 40, 50}));
    const std::vector<std::string> before = Pictures(*source_), after = Pictures(edited);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < after.size(); ++k)
        for (int y = 0; y < 2; ++y)
            EXPECT_EQ(after[k].substr(static_cast<size_t>(y) * 8, 8), before[k].substr(static_cast<size_t>(y) * 16 + 4, 8))
                << "frame " << k << " row " << y;
}

TEST_F(EditCommand, ResizeKeepsFramesAndDelaysAndEveryPictureGrows)
{
    // Global grays take the route of changed rectangles, local ones that of whole pictures.
    for (const bool local : {false, true}) {
        SCOPED_TRACE(local ? "local tables" : "global table");
        MakeAnimation(kFive, local)->SaveToFile(In());
        ASSERT_EQ(RunCli(In() + " " + Out() + " --resize 8x4"), 0);
        TGIFImage edited;
        edited.LoadFromFile(Out());
        ASSERT_EQ(edited.GetWidth(), 8);
        EXPECT_EQ(Delays(edited), (std::vector<int>{10, 20, 30, 40, 50}));
        const std::vector<std::string> pictures = Pictures(edited);
        ASSERT_EQ(pictures.size(), 5u);
        const auto gray = [&](int k, int x, int y) {
            return static_cast<uint8_t>(pictures[static_cast<size_t>(k)][static_cast<size_t>(4 * (y * 8 + x))]);
        };
        // The corners keep their patch's gray; between patches the grays blend.
        const struct {
            int frame, x, y, low, high;
        } expected[] = {{0, 7, 3, 0, 0},    {1, 0, 0, 30, 30},  {1, 7, 3, 0, 0}, {4, 7, 3, 120, 120},
                        {4, 0, 3, 0, 0},    {2, 2, 0, 30, 60},  {2, 3, 0, 30, 60}, {2, 5, 0, 0, 60}};
        for (const auto& e : expected) {
            EXPECT_GE(gray(e.frame, e.x, e.y), e.low) << e.frame << " " << e.x << "," << e.y;
            EXPECT_LE(gray(e.frame, e.x, e.y), e.high) << e.frame << " " << e.x << "," << e.y;
        }
    }
}

TEST_F(EditCommand, InsertPutsAPictureOverTheFrameBeforeAndRestoresIt)
{
    TBitmap red(1, 1, PixelFormat::pf24bit);
    red.ScanLine(0)[2] = 255;
    const std::string picture = (dir_ / "red.bmp").string();
    red.SaveToFile(picture);
    ASSERT_EQ(RunCli(In() + " " + Out() + " --insert " + picture + "@3"), 0);
    TGIFImage edited;
    edited.LoadFromFile(Out());
    EXPECT_EQ(SourceOrder(*source_, edited), (std::vector<int>{0, 1, -1, 2, 3, 4}));
    const std::string inserted = Pictures(edited)[2];
    EXPECT_EQ(inserted.substr(0, 4), std::string("\0\0\xff\xff", 4));
    EXPECT_EQ(inserted.substr(4), Pictures(*source_)[1].substr(4));
}

TEST_F(EditCommand, PicturesOfMoreColoursThanAFrameHoldsAreReportedWhenReduced)
{
    std::string err;
    const auto path = test::TestDataDir() / "gif-suite" / "high-color.gif";
    EXPECT_EQ(RunCli(path.string() + " " + Out() + " --reverse", &err), 0);
    EXPECT_EQ(err, "warning: More colours on screen than a frame holds at frames 1, 2, 3, 4: their pictures were "
                   "reduced to 256 colours\n");
}

TEST_F(EditCommand, RefusalsChangeNothingAndSayWhy)
{
    const struct {
        const char* options;
        int status;
        const char* message;
    } cases[] = {
        {"--delete 4-9", 1, "error: Frames 4 to 9 do not exist: the animation has 5 frames\n"},
        {"--move 1:6", 1, "error: Frame 6 does not exist: the animation has 5 frames\n"},
        {"--resize 0x5", 1, "error: Cannot resize to 0 x 5"},
        {"--crop 2,0,3,2", 1, "error: The rectangle 2,0 3 x 2 does not lie within the screen of 4 x 2\n"},
        {"--delete 1-5", 1, "error: Deleting every frame would leave no animation\n"},
        {"--speed 0", 1, "error: A speed must lie between 1 and 10000 percent\n"},
        {"--keep-every 0", 1, "error: Keep every n-th frame needs n of 1 or more\n"},
        {"--insert nothing.bmp@1", 1, "error: "},
        {"--move 1", 2, "error: --move 1: malformed\nusage: animora-cli edit"},
        {"--crop 1,2,3", 2, "error: --crop 1,2,3: malformed"},
        {"--reverse --bogus", 2, "usage: animora-cli edit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        std::string err;
        EXPECT_EQ(RunCli(In() + " " + Out() + " --reverse " + c.options, &err), c.status);
        EXPECT_EQ(err.rfind(c.message, 0), 0u) << err;
        EXPECT_FALSE(std::filesystem::exists(Out()));
    }
}

TEST(Edits, ResizeClearsWhatTheAnimationClearsAndKeepsEdgeColours)
{
    auto image = MakeAnimation({{0, 0, 0, 10}, {1, 0, 5, 20}});
    image->Images().SubImage(0)->GraphicControl()->SetDisposal(2);
    Resize(*image, 8, 4);
    const std::vector<std::string> pictures = Pictures(*image);
    ASSERT_EQ(pictures.size(), 2u);
    const auto pixel = [&](int x, int y) { return pictures[1].substr(static_cast<size_t>(4 * (y * 8 + x)), 4); };
    EXPECT_EQ(pixel(7, 3), std::string(4, '\0'));
    EXPECT_EQ(pixel(1, 0), std::string(4, '\0'));  // a quarter drawn
    EXPECT_EQ(pixel(2, 0), std::string("\x96\x96\x96\xff", 4));  // three quarters drawn, gray 5 unmixed with nothing
}

// An inserted picture is reduced by the image's own settings, its palette
// refinement included: a ramp bunched at the dark end gets other colours
// from the refined palette than from the octree's alone.
TEST(Edits, InsertReducesByTheImagesOwnRefinement)
{
    TBitmap ramp(16, 16, PixelFormat::pf24bit);
    for (int i = 0; i < 256; ++i)
        std::memset(ramp.ScanLine(i / 16) + 3 * (i % 16), i * i / 255, 3);
    std::vector<std::string> inserted;
    for (const bool refine : {false, true}) {
        TGIFImage image;
        image.Add(TBitmap(16, 16, PixelFormat::pf24bit));
        image.SetReductionMode(crOptimized);
        image.SetReductionBits(3);
        image.SetRefinePalette(refine);
        InsertFrame(image, ramp, 0);
        ASSERT_EQ(image.Images().Count(), 2);
        inserted.push_back(Pictures(image)[0]);
    }
    EXPECT_NE(inserted[0], inserted[1]);
}

TEST(Edits, TheEmptyLastFrameOfTrailingBlocksStaysLast)
{
    const std::function<void(TGIFImage&)> edits[] = {Reverse, PingPong, [](TGIFImage& image) { KeepEvery(image, 2); }};
    const int counts[] = {6, 9, 4};
    for (int k = 0; k < 3; ++k) {
        auto image = MakeAnimation(kFive);
        image->Add(std::make_unique<TGIFSubImage>(image.get()));
        edits[k](*image);
        ASSERT_EQ(image->Images().Count(), counts[k]);
        EXPECT_TRUE(image->Images().SubImage(counts[k] - 1)->IsEmpty()) << k;
        EXPECT_FALSE(image->Images().SubImage(0)->IsEmpty()) << k;
    }
}

// The long corpus animation: each frame holds only what changed.
TEST(Edits, LongAnimationKeepsItsPicturesAndTimeThroughReverseResizeKeepEveryAndDedupe)
{
    const auto path = test::TestDataDir() / "corpus" / "gifplayer-muybridge.gif";
    TGIFImage image;
    image.LoadFromFile(path.string());
    const std::vector<int> delays = Delays(image);
    const auto total = [](const std::vector<int>& d) { return std::accumulate(d.begin(), d.end(), 0); };

    std::vector<uint64_t> pictures = Hashes(image);
    Reverse(image);
    std::reverse(pictures.begin(), pictures.end());
    EXPECT_EQ(Hashes(image), pictures);
    Reverse(image);

    Resize(image, image.GetWidth() / 2, image.GetHeight() / 2);
    EXPECT_EQ(Delays(image), delays);
    EXPECT_EQ(image.GetWidth(), 236);

    KeepEvery(image, 3);
    EXPECT_EQ(image.Images().Count(), (static_cast<int>(delays.size()) + 2) / 3);
    EXPECT_EQ(total(Delays(image)), total(delays));

    const int before = image.Images().Count();
    Dedupe(image);
    EXPECT_LE(image.Images().Count(), before);
    EXPECT_EQ(total(Delays(image)), total(delays));
}

} // namespace
} // namespace animora
