// Optimisation may change the bytes, never the picture: every GIF of the test
// data that loads (and gives every pixel a colour) is optimised with every
// combination of steps, and with the merge of all colour maps when its
// colours fit one map; the composed pictures must stay the same, also after
// saving and loading again, and giflib must read what we wrote.
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <cstdlib>
#include <cstring>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/SubImage.h"
#include "support/GiflibFrame.h"
#include "support/PainterPictures.h"
#include "support/ReferenceComposition.h"
#include "support/TestData.h"

namespace animora {
namespace {

// giflib 5.2 misreads an extension block without data sub-blocks, which is
// how a comment whose only line is a NUL byte is written.
bool GiflibMisreads(const std::filesystem::path& path)
{
    return path.filename() == "nul-comment.gif";
}

std::string StepNames(uint8_t steps)
{
    std::string names;
    for (const auto& [flag, name] : {std::pair{ooCrop, "crop"}, {ooMerge, "merge"}, {ooCleanup, "cleanup"},
                                     {ooColorMap, "colormaps"}})
        if (steps & flag)
            names += std::string(names.empty() ? "" : "+") + name;
    return names.empty() ? "nothing" : names;
}

class OptimizeKeepsThePicture : public ::testing::TestWithParam<std::filesystem::path> {
protected:
    void SetUp() override
    {
        bytes_ = test::ReadFileBytes(GetParam());
        TGIFImage original;
        try {
            test::LoadBytes(original, bytes_);
        } catch (const EAnimoraError&) {
            GTEST_SKIP() << "does not load";
        }
        std::string why;
        if (original.GetEmpty() || !test::EveryPixelHasAColor(original, why))
            GTEST_SKIP() << "no defined picture: " << (why.empty() ? "no frames" : why);
        expected_ = test::ComposedPictures(original);
        colors_ = test::ColorsShown(original);
    }

    void Load(TGIFImage& image) { test::LoadBytes(image, bytes_); }

    // The picture is the same in memory and after a save and load, and
    // giflib reads the saved file.
    void ExpectSamePicture(TGIFImage& image, const std::string& what, bool throughFile)
    {
        EXPECT_EQ(test::ComposedPictures(image), expected_) << what;
        if (!throughFile)
            return;
        std::vector<uint8_t> saved;
        ASSERT_NO_THROW(saved = test::SaveBytes(image)) << what;
        TGIFImage reloaded;
        ASSERT_NO_THROW(test::LoadBytes(reloaded, saved)) << what;
        EXPECT_EQ(test::ComposedPictures(reloaded), expected_) << what << " (saved and loaded)";
        if (!GiflibMisreads(GetParam()))
            test::ExpectGiflibReadsTheSame(image, saved, what);
    }

    std::vector<uint8_t> bytes_;
    std::vector<uint64_t> expected_;
    test::TColorUse colors_;
};

TEST_P(OptimizeKeepsThePicture, WithEveryCombinationOfSteps)
{
    for (uint8_t steps = 0; steps < 16; ++steps) {
        TGIFImage image;
        Load(image);
        ASSERT_NO_THROW(image.Optimize(steps | ooReduce, 6, 8, 0)) << StepNames(steps);
        // Every step on its own and all of them go through a file too.
        const bool throughFile = steps == 15 || steps == ooCrop || steps == ooMerge || steps == ooCleanup;
        ExpectSamePicture(image, StepNames(steps), throughFile);
    }
}

TEST_P(OptimizeKeepsThePicture, AfterMergingTheColorMaps)
{
    if (colors_.colors > (colors_.transparency ? 255 : 256))
        GTEST_SKIP() << colors_.colors << " colours do not fit one map";
    TGIFImage image;
    Load(image);
    image.OptimizeColorMaps();
    ExpectSamePicture(image, "merged maps", true);
    image.Optimize(ooAll, 0, 8, 0);
    ExpectSamePicture(image, "merged maps, then every step", true);
}

// The same through the painter's own composition, for every step together
// and for the merged maps: what the editor shows does not change.
TEST_P(OptimizeKeepsThePicture, AsThePainterComposesIt)
{
    TGIFImage original;
    Load(original);
    const auto expected = test::PainterPictures(original);
    TGIFImage optimized;
    Load(optimized);
    optimized.Optimize(ooAll, 0, 8, 0);
    EXPECT_EQ(test::PainterPictures(optimized), expected) << "every step";
    if (colors_.colors > (colors_.transparency ? 255 : 256))
        return;
    TGIFImage merged;
    Load(merged);
    merged.OptimizeColorMaps();
    EXPECT_EQ(test::PainterPictures(merged), expected) << "merged maps";
}

// Rebuilding the frames (ooDelta) on every animation of the test data, as it
// is and as a full-frame version (each frame the whole picture, made by
// gifsicle): the pictures and how long each is shown stay, the painter shows
// the same, giflib reads the result, and it is no larger than before.
class DeltaKeepsThePictureOverTime : public ::testing::TestWithParam<std::filesystem::path> {};

std::vector<uint8_t> FullFrameVersion(const std::filesystem::path& path)
{
    const auto dir = test::MakeTempDir("animora-unoptimize");
    const auto out = dir / "full.gif";
    const std::string command = "gifsicle --unoptimize '" + path.string() + "' -o '" + out.string() + "' 2>/dev/null";
    std::vector<uint8_t> bytes;
    if (std::system(command.c_str()) == 0 && std::filesystem::exists(out))
        bytes = test::ReadFileBytes(out);
    std::filesystem::remove_all(dir);
    return bytes;
}

TEST_P(DeltaKeepsThePictureOverTime, AsItIsAndFullFrame)
{
    const std::vector<uint8_t> original = test::ReadFileBytes(GetParam());
    for (const auto& [what, bytes] : {std::pair{"as it is", original}, {"full frame", FullFrameVersion(GetParam())}}) {
        TGIFImage before;
        try {
            test::LoadBytes(before, bytes);
        } catch (const EAnimoraError&) {
            continue;  // not loadable, or gifsicle refused it
        }
        std::string why;
        if (before.Images().Count() < 2 || !test::EveryPixelHasAColor(before, why))
            continue;
        TGIFImage after;
        test::LoadBytes(after, bytes);
        after.Optimize(ooAll | ooDelta, 0, 8, 0);
        EXPECT_EQ(test::ComposedTimeline(after), test::ComposedTimeline(before)) << what;
        EXPECT_EQ(test::PainterPictures(after), test::PainterPictures(before)) << what;
        std::vector<uint8_t> saved;
        ASSERT_NO_THROW(saved = test::SaveBytes(after)) << what;
        TGIFImage reloaded;
        ASSERT_NO_THROW(test::LoadBytes(reloaded, saved)) << what;
        EXPECT_EQ(test::ComposedTimeline(reloaded), test::ComposedTimeline(before)) << what << " (saved and loaded)";
        if (!GiflibMisreads(GetParam()))
            test::ExpectGiflibReadsTheSame(after, saved, what);
        TGIFImage plain;
        test::LoadBytes(plain, bytes);
        plain.Optimize(ooAll, 0, 8, 0);
        EXPECT_LE(saved.size(), test::SaveBytes(plain).size()) << what << ": larger than without ooDelta";
    }
}

INSTANTIATE_TEST_SUITE_P(TestData, DeltaKeepsThePictureOverTime, ::testing::ValuesIn(test::AllTestGIFs()),
                         [](const auto& info) { return test::TestNameFor(info.param); });

INSTANTIATE_TEST_SUITE_P(TestData, OptimizeKeepsThePicture, ::testing::ValuesIn(test::AllTestGIFs()),
                         [](const auto& info) { return test::TestNameFor(info.param); });

} // namespace
} // namespace animora
