// Colour-map merge, the optimisation steps, crop, merge and Compact on small
// animations built here; each change of the picture the steps could cause is
// checked against the reference composition.
#include <gtest/gtest.h>

#include "gif/AppExtension.h"
#include "gif/GIFCodec.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"
#include "platform/Bitmap.h"
#include "support/PainterPictures.h"
#include "support/ReferenceComposition.h"

namespace animora {
namespace {

struct TFrameSpec {
    int left = 0, top = 0, width = 2, height = 2;
    std::vector<uint8_t> pixels{};   // width x height
    std::vector<TColor> localMap{};  // empty: the global map
    int disposal = -1;               // -1: no graphic control
    int transparent = -1;            // transparent index, -1 none
    int delay = 0;
};

TColor Gray(int level) { return MakeColor(uint8_t(level), uint8_t(level), uint8_t(level)); }
const TColor kRed = MakeColor(255, 0, 0), kGreen = MakeColor(0, 255, 0), kBlue = MakeColor(0, 0, 255);

TGIFGraphicControlExtension& AddGraphicControl(TGIFSubImage& frame)
{
    frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    return *frame.GraphicControl();
}

TGIFSubImage& AddFrame(TGIFImage& image, const TFrameSpec& spec)
{
    auto owned = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage& frame = *owned;
    image.Add(std::move(owned));
    for (TColor color : spec.localMap)
        frame.ColorMap().AddColor(color);
    frame.SetBounds(spec.left, spec.top, spec.width, spec.height);
    std::copy(spec.pixels.begin(), spec.pixels.end(), frame.Data());
    if (spec.disposal >= 0 || spec.transparent >= 0 || spec.delay > 0) {
        TGIFGraphicControlExtension& control = AddGraphicControl(frame);
        control.SetDisposal(std::max(spec.disposal, 0));
        control.SetDelay(uint16_t(spec.delay));
        if (spec.transparent >= 0) {
            control.SetTransparent(true);
            control.SetTransparentColorIndex(spec.transparent);
        }
    }
    return frame;
}

void MakeImage(TGIFImage& image, int width, int height, const std::vector<TColor>& globalMap,
               const std::vector<TFrameSpec>& frames)
{
    image.Header().SetScreenWidth(width);
    image.Header().SetScreenHeight(height);
    for (TColor color : globalMap)
        image.Header().ColorMap().AddColor(color);
    for (const TFrameSpec& spec : frames)
        AddFrame(image, spec);
}

std::vector<uint8_t> Pixels(const TGIFSubImage& frame) { return {frame.Data(), frame.Data() + frame.DataSize()}; }

// --- the colour-map merge ---------------------------------------------------------

TEST(OptimizeColorMaps, JoinsLocalMapsIntoOneGlobalMapOfTheColoursUsed)
{
    TGIFImage image;
    MakeImage(image, 2, 1, {Gray(9)},  // an unused global map gets no histogram
              {{.width = 2, .height = 1, .pixels = {0, 1}, .localMap = {kRed, kGreen}, .delay = 5},
               {.width = 2, .height = 1, .pixels = {0, 1}, .localMap = {kGreen, kBlue}, .delay = 5}});
    const auto before = test::ComposedPictures(image);
    const auto painted = test::PainterPictures(image);
    image.OptimizeColorMaps();
    const TGIFColorMap& global = image.Header().ColorMap();
    ASSERT_EQ(global.Count(), 3);
    EXPECT_TRUE(global.Sorted());
    EXPECT_EQ(image.Images().SubImage(0)->ColorMap().Count(), 0);
    EXPECT_EQ(image.Images().SubImage(1)->ColorMap().Count(), 0);
    EXPECT_EQ(global.FindColor(Gray(9)), -1);
    EXPECT_EQ(image.Images().SubImage(0)->Data()[1], image.Images().SubImage(1)->Data()[0]) << "green";
    EXPECT_EQ(global.FindColor(kGreen), 0) << "the most used colour first";
    EXPECT_EQ(test::ComposedPictures(image), before);
    EXPECT_EQ(test::PainterPictures(image), painted);
}

TEST(OptimizeColorMaps, TheBackgroundIndexKeepsItsColourOrTheNearestKeptOne)
{
    struct Case {
        const char* name;
        TColor background;
        TColor expected;
    } cases[] = {
        {"a colour the frames use", kBlue, kBlue},
        {"a colour no frame uses", Gray(200), MakeColor(255, 255, 255)},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        // Green and white are used most, so blue moves down the new map.
        MakeImage(image, 4, 1, {kRed, Gray(200), kBlue},
                  {{.width = 4, .height = 1, .pixels = {2, 2, 0, 0}},
                   {.width = 4, .height = 1, .pixels = {0, 0, 0, 1}, .localMap = {kGreen, MakeColor(255, 255, 255)}},
                   {.width = 4, .height = 1, .pixels = {0, 0, 1, 1}, .localMap = {kGreen, MakeColor(255, 255, 255)}}});
        image.Header().SetBackgroundColorIndex(uint8_t(image.Header().ColorMap().FindColor(c.background)));
        image.OptimizeColorMaps();
        EXPECT_EQ(image.Header().BackgroundColor(), c.expected) << c.name;
    }
}

TEST(OptimizeColorMaps, TransparencyTakesASlotOnlyWhenUsed)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> pixels;
        bool keepsTransparency;
        int colors;
    } cases[] = {
        {"index never shown", {0, 1}, false, 2},
        {"index shown", {0, 2}, true, 2},  // red and the transparent black slot
    };
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 2, 1, {kRed, kGreen, kBlue}, {{.width = 2, .height = 1, .pixels = c.pixels, .transparent = 2}});
        image.OptimizeColorMaps();
        const TGIFSubImage& frame = *image.Images().SubImage(0);
        EXPECT_EQ(frame.Transparent(), c.keepsTransparency) << c.name;
        EXPECT_EQ(image.Header().ColorMap().Count(), c.colors) << c.name;
        if (c.keepsTransparency) {
            EXPECT_EQ(frame.GraphicControl()->TransparentColorIndex(), 1) << c.name;
        }
    }
}

TEST(OptimizeColorMaps, ThreeHundredColoursWithTransparencyKeep255AndBlackForTransparency)
{
    TGIFImage image;
    std::vector<TFrameSpec> frames;
    for (int f = 0; f < 2; ++f) {
        TFrameSpec spec{.width = 151, .height = 1, .transparent = 150};
        for (int i = 0; i < 150; ++i) {
            spec.localMap.push_back(MakeColor(uint8_t(i), uint8_t(f * 100), 7));
            spec.pixels.push_back(uint8_t(i));
        }
        spec.localMap.push_back(Gray(1));
        spec.pixels.push_back(150);
        frames.push_back(spec);
    }
    MakeImage(image, 151, 1, {}, frames);
    image.OptimizeColorMaps();
    const TGIFColorMap& global = image.Header().ColorMap();
    ASSERT_EQ(global.Count(), 256);
    EXPECT_EQ(global.Entries()[3 * 255], 0);
    EXPECT_EQ(global.Entries()[3 * 255 + 1], 0);
    EXPECT_EQ(global.Entries()[3 * 255 + 2], 0);
    for (int f = 0; f < 2; ++f) {
        const TGIFSubImage& frame = *image.Images().SubImage(f);
        EXPECT_EQ(frame.GraphicControl()->TransparentColorIndex(), 255);
        EXPECT_EQ(frame.Data()[150], 255);
        for (int i = 0; i < 150; ++i)
            EXPECT_LT(frame.Data()[i], 255) << "dropped colours map to a kept one";
    }
}

TEST(OptimizeColorMaps, PixelPastItsMapBecomesZeroWithAWarning)
{
    TGIFImage image;
    MakeImage(image, 2, 1, {}, {{.width = 2, .height = 1, .pixels = {1, 5}, .localMap = {kRed, kGreen}}});
    std::vector<std::string> warnings;
    image.WarningHandler = [&](TPersistent&, int, const std::string& message) { warnings.push_back(message); };
    image.OptimizeColorMaps();
    EXPECT_EQ(warnings, std::vector<std::string>{"Color not in color table"});
    TGIFColorMap& global = image.Header().ColorMap();
    ASSERT_EQ(global.Count(), 2);
    const TGIFSubImage& frame = *image.Images().SubImage(0);
    EXPECT_EQ(global.ColorAt(frame.Data()[1]), kRed);
}

// Rendered bitmaps are caches: after maps change they must be made again
// from the new map, showing the same colours.
TEST(OptimizeColorMaps, FramesRenderTheSameColoursAfterMapsChange)
{
    const struct {
        const char* name;
        void (*run)(TGIFImage&);
    } cases[] = {
        {"merged maps", [](TGIFImage& image) { image.OptimizeColorMaps(); }},
        {"compacted", [](TGIFImage& image) { image.Compact(); }},
        {"maps sorted", [](TGIFImage& image) { image.Optimize(ooColorMap, 0, 8, 0); }},
    };
    for (const auto& c : cases) {
        TGIFImage image;
        MakeImage(image, 3, 1, {},
                  {{.width = 3, .height = 1, .pixels = {2, 2, 1}, .localMap = {kRed, kGreen, kBlue}, .delay = 5}});
        if (c.run != cases[1].run)
            AddFrame(image, {.width = 3, .height = 1, .pixels = {0, 1, 1}, .localMap = {kBlue, kRed}, .delay = 5});
        std::vector<std::vector<TColor>> before;
        for (int f = 0; f < image.Images().Count(); ++f) {
            const TBitmap& bitmap = *image.Images().SubImage(f)->RenderedBitmap();
            before.push_back({bitmap.PixelColor(0, 0), bitmap.PixelColor(1, 0), bitmap.PixelColor(2, 0)});
        }
        c.run(image);
        for (int f = 0; f < image.Images().Count(); ++f) {
            const TBitmap& bitmap = *image.Images().SubImage(f)->RenderedBitmap();
            const std::vector<TColor> after = {bitmap.PixelColor(0, 0), bitmap.PixelColor(1, 0), bitmap.PixelColor(2, 0)};
            EXPECT_EQ(after, before[size_t(f)]) << c.name << ", frame " << f;
        }
    }
}

// --- Optimize -------------------------------------------------------------------

TEST(Optimize, ImageWithoutFramesDoesNothingAndSendsNoProgress)
{
    TGIFImage image;
    int notifications = 0;
    image.OnProgress = [&](TPersistent&, TProgressStage, int, bool, const std::string&) { ++notifications; };
    image.Optimize(ooAll, 9, 8, 0);
    EXPECT_EQ(notifications, 0);
}

TEST(Optimize, ReportsProgressAndRefusesReductionMode9WithoutCleanUp)
{
    struct Case {
        uint8_t options;
        uint8_t mode;
        bool raises;
    } cases[] = {{ooReduce, 9, true}, {ooReduce | ooCleanup, 9, false}, {ooReduce, 6, false}, {ooCrop, 9, false}};
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 2, 2, {kRed}, {{.pixels = {0, 0, 0, 0}}, {.pixels = {0, 0, 0, 0}}});
        std::vector<std::pair<TProgressStage, int>> progress;
        image.OnProgress = [&](TPersistent&, TProgressStage stage, int percent, bool, const std::string& text) {
            EXPECT_EQ(text, "Optimizing...");
            progress.emplace_back(stage, percent);
        };
        if (c.raises)
            EXPECT_THROW(
                try { image.Optimize(c.options, c.mode, 8, 0); } catch (const GIFException& e) {
                    EXPECT_STREQ(e.what(), "Invalid reduction method");
                    throw;
                },
                GIFException);
        else
            image.Optimize(c.options, c.mode, 8, 0);
        ASSERT_GE(progress.size(), 2u);
        EXPECT_EQ(progress.front().first, TProgressStage::psStarting);
        EXPECT_EQ(progress.back(), std::make_pair(TProgressStage::psEnding, c.raises ? 0 : 100));
        for (size_t i = 1; i + 1 < progress.size(); ++i)
            EXPECT_LE(progress[i - 1].second, progress[i].second);
    }
}

TEST(Optimize, MergeMakesRepeatedPixelsTransparentWhenTheMapHasRoom)
{
    struct Case {
        int mapSize;
        bool merges;
    } cases[] = {{255, true}, {256, false}};
    for (const Case& c : cases) {
        std::vector<TColor> map;
        for (int i = 0; i < c.mapSize; ++i)
            map.push_back(MakeColor(uint8_t(i), 1, 2));
        const std::vector<uint8_t> pixels = {1, 2, 3, 4};
        TGIFImage image;
        MakeImage(image, 2, 2, {}, {{.pixels = pixels, .localMap = map, .delay = 5},
                                    {.pixels = pixels, .localMap = map, .delay = 5}});
        const auto before = test::ComposedPictures(image);
        const auto painted = test::PainterPictures(image);
        image.Optimize(ooMerge, 0, 8, 0);
        const TGIFSubImage& second = *image.Images().SubImage(1);
        if (c.merges) {
            EXPECT_EQ(second.ColorMap().Count(), 256);
            ASSERT_NE(second.GraphicControl(), nullptr);
            EXPECT_TRUE(second.Transparent());
            EXPECT_EQ(second.GraphicControl()->TransparentColorIndex(), 255);
            EXPECT_EQ(Pixels(second), std::vector<uint8_t>(4, 255));
        } else {
            EXPECT_EQ(second.ColorMap().Count(), 256);
            EXPECT_FALSE(second.Transparent());
            EXPECT_EQ(Pixels(second), pixels);
        }
        EXPECT_EQ(test::ComposedPictures(image), before);
        EXPECT_EQ(test::PainterPictures(image), painted);
    }
}

TEST(Optimize, MergeLooksThroughRestoringFramesButNeverMergesOverABackgroundRestore)
{
    struct Case {
        const char* name;
        int firstDisposal, middleDisposal;
        bool lastMerged;
    } cases[] = {
        {"over a kept frame", 1, 1, true},
        {"past a restore-previous frame to a kept one", 1, 3, true},
        {"over a restore-background frame", 1, 2, false},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 2, 2, {kRed, kGreen, kBlue},
                  {{.pixels = {0, 0, 0, 0}, .disposal = c.firstDisposal, .delay = 5},
                   {.pixels = {1, 1, 1, 1}, .disposal = c.middleDisposal, .delay = 5},
                   {.pixels = {c.middleDisposal == 3 ? uint8_t(0) : uint8_t(1), 2, 2, 2}, .disposal = 1, .delay = 5}});
        const auto before = test::ComposedPictures(image);
        const auto painted = test::PainterPictures(image);
        image.Optimize(ooMerge, 0, 8, 0);
        EXPECT_EQ(image.Images().SubImage(2)->Transparent(), c.lastMerged) << c.name;
        EXPECT_EQ(test::ComposedPictures(image), before) << c.name;
        EXPECT_EQ(test::PainterPictures(image), painted) << c.name;
    }
}

TEST(Optimize, MergeSharesAnotherFramesTransparentIndexOnlyWhenTheFrameDoesNotShowIt)
{
    struct Case {
        uint8_t shownByThird;
        int expectedIndex;
    } cases[] = {{2, 3}, {1, 4}};  // 3 is the shared index; when shown, black is added (4)
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 2, 1, {kRed, kGreen, kBlue, Gray(0)},
                  {{.width = 2, .height = 1, .pixels = {0, 3}, .disposal = 1, .transparent = 3, .delay = 5},
                   {.width = 2, .height = 1, .pixels = {0, 1}, .disposal = 1, .delay = 5},
                   {.width = 2, .height = 1, .pixels = {0, c.shownByThird == 2 ? uint8_t(2) : uint8_t(3)}, .delay = 5}});
        const auto before = test::ComposedPictures(image);
        const auto painted = test::PainterPictures(image);
        image.Optimize(ooMerge, 0, 8, 0);
        const TGIFSubImage& third = *image.Images().SubImage(2);
        ASSERT_TRUE(third.Transparent());
        EXPECT_EQ(third.GraphicControl()->TransparentColorIndex(), c.expectedIndex);
        EXPECT_EQ(test::ComposedPictures(image), before);
        EXPECT_EQ(test::PainterPictures(image), painted);
    }
}

TEST(Optimize, CropCutsBordersAndDropsWhollyTransparentFramesWhereThatKeepsThePicture)
{
    // A red frame, the frame under test, and a last frame that shows one
    // blue pixel over whatever the first two left behind.
    struct Case {
        const char* name;
        int previousDisposal;
        std::vector<uint8_t> pixels;
        int disposal;
        int frames, left, top, width, height;  // frame 1 after the crop
        int previousDelay;
    } cases[] = {
        {"border cut", 1, {3, 3, 3, 3, 1, 3, 3, 3, 3}, 1, 3, 1, 1, 1, 1, 5},
        {"transparent all over after a kept frame", 1, {3, 3, 3, 3, 3, 3, 3, 3, 3}, 1, 2, 0, 0, 1, 1, 12},
        {"transparent all over after a restoring frame", 2, {3, 3, 3, 3, 3, 3, 3, 3, 3}, 1, 3, 0, 0, 1, 1, 5},
        {"restores the background: keeps its area", 1, {3, 3, 3, 3, 1, 3, 3, 3, 3}, 2, 3, 0, 0, 3, 3, 5},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 3, 3, {kRed, kGreen, kBlue, Gray(0)},
                  {{.width = 3, .height = 3, .pixels = std::vector<uint8_t>(9, 0), .disposal = c.previousDisposal, .delay = 5},
                   {.width = 3, .height = 3, .pixels = c.pixels, .disposal = c.disposal, .transparent = 3, .delay = 7},
                   {.width = 3, .height = 3, .pixels = {2, 3, 3, 3, 3, 3, 3, 3, 3}, .disposal = 1, .transparent = 3, .delay = 5}});
        const auto before = test::ComposedPictures(image);
        const auto painted = test::PainterPictures(image);
        image.Optimize(ooCrop, 0, 8, 0);
        EXPECT_EQ(test::ComposedPictures(image), before) << c.name;
        EXPECT_EQ(test::PainterPictures(image), painted) << c.name;
        ASSERT_EQ(image.Images().Count(), c.frames) << c.name;
        EXPECT_EQ(image.Images().SubImage(1)->BoundsRect(), Bounds(c.left, c.top, c.width, c.height)) << c.name;
        EXPECT_EQ(image.Images().SubImage(0)->GraphicControl()->Delay(), c.previousDelay) << c.name;
    }
}

TEST(Optimize, CleanUpResetsDisposalOnlyWhenTheNextFrameCoversTheFrame)
{
    struct Case {
        const char* name;
        int disposal;
        TFrameSpec next;
        int expectedDisposal;
    } cases[] = {
        {"covered, background", 2, {.width = 4, .height = 4, .pixels = std::vector<uint8_t>(16, 1), .disposal = 1, .delay = 5}, 0},
        {"covered, previous", 3, {.width = 4, .height = 4, .pixels = std::vector<uint8_t>(16, 1), .disposal = 1, .delay = 5}, 0},
        {"next lies inside", 2, {.left = 1, .top = 1, .width = 1, .height = 1, .pixels = {1}, .disposal = 1, .delay = 5}, 2},
        {"next restores to previous", 2, {.width = 4, .height = 4, .pixels = std::vector<uint8_t>(16, 1), .disposal = 3, .delay = 5}, 2},
        {"next is transparent", 2, {.width = 4, .height = 4, .pixels = {2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, .disposal = 1, .transparent = 2, .delay = 5}, 2},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 4, 4, {kRed, kGreen, kBlue},
                  {{.left = 1, .top = 1, .width = 2, .height = 2, .pixels = {0, 0, 0, 0}, .disposal = c.disposal, .delay = 5},
                   c.next,
                   {.width = 4, .height = 4, .pixels = std::vector<uint8_t>(16, 2), .disposal = 1, .transparent = 2, .delay = 5}});
        const auto before = test::ComposedPictures(image);
        const auto painted = test::PainterPictures(image);
        image.Optimize(ooCleanup, 0, 8, 0);
        EXPECT_EQ(image.Images().SubImage(0)->GraphicControl()->Disposal(), c.expectedDisposal) << c.name;
        EXPECT_EQ(test::ComposedPictures(image), before) << c.name;
        EXPECT_EQ(test::PainterPictures(image), painted) << c.name;
    }
}

TEST(Optimize, CleanUpDropsExtensionsNoPlayerNeeds)
{
    struct Case {
        const char* name;
        int frames;
        int loopFrame;
        int delay, disposal;
        bool loopKept, controlKept;
    } cases[] = {
        {"loop in frame 0 of three", 3, 0, 5, 1, true, true},
        {"loop in frame 2", 3, 2, 5, 1, false, true},
        {"loop in a lone frame", 1, 0, 5, 1, false, false},
        {"no delay, keep", 3, 0, 0, 1, true, false},
        {"no delay, restore background (last frame)", 3, 2, 0, 2, false, true},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        MakeImage(image, 2, 2, {kRed}, {});
        for (int i = 0; i < c.frames; ++i) {
            TGIFSubImage& frame = AddFrame(image, {.pixels = {0, 0, 0, 0}, .disposal = c.disposal, .delay = c.delay});
            auto comment = std::make_unique<TGIFCommentExtension>(frame);
            comment->Lines().push_back("made by hand");
            frame.Extensions().Append(std::move(comment));
            if (i == c.loopFrame)
                frame.Extensions().Append(std::make_unique<TGIFAppExtNSLoop>(frame));
        }
        image.Optimize(ooCleanup, 0, 8, 0);
        ASSERT_EQ(image.Images().Count(), c.frames) << c.name;
        const TGIFExtensionList& extensions = image.Images().SubImage(c.loopFrame)->Extensions();
        const TGIFSubImage& frame = *image.Images().SubImage(c.loopFrame);
        EXPECT_EQ(extensions.Count(), int(c.loopKept) + int(c.controlKept)) << c.name;
        EXPECT_EQ(frame.GraphicControl() != nullptr, c.controlKept) << c.name;
    }
}

TEST(Optimize, CleanUpDropsEmptyFramesWithoutExtensions)
{
    TGIFImage image;
    MakeImage(image, 2, 2, {kRed}, {{.pixels = {0, 0, 0, 0}, .delay = 5}});
    image.Add(std::make_unique<TGIFSubImage>(&image));
    image.Optimize(ooCleanup, 0, 8, 0);
    EXPECT_EQ(image.Images().Count(), 1);
}

TEST(Optimize, DocumentStorageOptimisesFirstOnlyWhenTheCodecSaysSo)
{
    auto make = [](TGIFImage& image) {
        // Four colours of which two are used, and a transparent border.
        MakeImage(image, 4, 1, {},
                  {{.width = 4, .height = 1, .pixels = {3, 0, 1, 3}, .localMap = {kRed, kGreen, kBlue, Gray(7)},
                    .transparent = 3, .delay = 5},
                   {.width = 4, .height = 1, .pixels = {3, 1, 0, 3}, .localMap = {kRed, kGreen, kBlue, Gray(7)},
                    .transparent = 3, .delay = 5}});
    };
    TGIFCodecSettings& settings = GIFCodecSettings();
    const bool saved = settings.OptimizeOnStreamWrite;
    for (bool optimise : {false, true}) {
        SCOPED_TRACE(optimise);
        settings.OptimizeOnStreamWrite = optimise;
        TGIFImage image, plain;
        make(image);
        make(plain);
        const auto pictures = test::ComposedPictures(image);
        TMemoryStream stored, reference;
        image.WriteData(stored);
        plain.SaveToStream(reference);
        EXPECT_EQ(stored.Size() < reference.Size(), optimise);
        stored.SetPosition(0);
        TGIFImage read;
        read.ReadData(stored);
        EXPECT_EQ(test::ComposedPictures(read), pictures);
    }
    settings.OptimizeOnStreamWrite = saved;
}

TEST(Compact, LoneFramesLocalMapBecomesTheGlobalMap)
{
    TGIFImage image;
    MakeImage(image, 2, 1, {}, {{.width = 2, .height = 1, .pixels = {0, 1}, .localMap = {kRed, kGreen}}});
    image.Compact();
    EXPECT_EQ(image.Header().ColorMap().Count(), 2);
    EXPECT_EQ(image.Header().ColorMap().ColorAt(1), kGreen);
    EXPECT_EQ(image.Images().SubImage(0)->ColorMap().Count(), 0);
}

} // namespace
} // namespace animora
