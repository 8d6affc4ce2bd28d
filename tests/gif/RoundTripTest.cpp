// Every GIF under the test data that loads is saved (with both encoders) and
// loaded again: the tree must come back the same, and giflib, an independent
// decoder, must read the same colour indices from what we wrote.
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <cstring>
#include <map>
#include <set>

#include "gif/Extension.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/SubImage.h"
#include "support/GiflibFrame.h"
#include "support/TestData.h"

namespace animora {
namespace {

std::vector<uint8_t> WrittenBytes(TGIFItem& item)
{
    TMemoryStream stream;
    item.WriteToStream(stream);
    return stream.Bytes();
}

std::vector<uint8_t> MapBytes(const TGIFColorMap& map)
{
    return std::vector<uint8_t>(map.Entries(), map.Entries() + map.Count() * 3);
}

// The same tree: screen, global map, and per frame its bounds, local map,
// pixels and extensions (compared as the bytes they write) in order.
void ExpectSameTree(TGIFImage& expected, TGIFImage& actual, const std::string& what)
{
    EXPECT_EQ(actual.GetWidth(), expected.GetWidth()) << what;
    EXPECT_EQ(actual.GetHeight(), expected.GetHeight()) << what;
    EXPECT_EQ(actual.Header().BackgroundColorIndex(), expected.Header().BackgroundColorIndex()) << what;
    EXPECT_EQ(actual.Header().AspectRatio(), expected.Header().AspectRatio()) << what;
    EXPECT_EQ(MapBytes(actual.Header().ColorMap()), MapBytes(expected.Header().ColorMap())) << what;
    ASSERT_EQ(actual.Images().Count(), expected.Images().Count()) << what;
    for (int i = 0; i < expected.Images().Count(); ++i) {
        TGIFSubImage& a = *actual.Images().SubImage(i);
        TGIFSubImage& e = *expected.Images().SubImage(i);
        const std::string where = what + " frame " + std::to_string(i);
        EXPECT_EQ(a.BoundsRect(), e.BoundsRect()) << where;
        EXPECT_EQ(MapBytes(a.ColorMap()), MapBytes(e.ColorMap())) << where;
        EXPECT_TRUE(a.DataSize() == e.DataSize() && std::memcmp(a.Data(), e.Data(), e.DataSize()) == 0) << where;
        ASSERT_EQ(a.Extensions().Count(), e.Extensions().Count()) << where;
        for (int j = 0; j < e.Extensions().Count(); ++j)
            EXPECT_EQ(WrittenBytes(*a.Extensions().Extension(j)), WrittenBytes(*e.Extensions().Extension(j)))
                << where << " extension " << j;
    }
}

// Files whose round trip ends differently on purpose.
const std::map<std::string, const char*> kSaveRefused = {
    // Pixels at or above the colour table's size cannot be written.
    {"invalid-code.gif", "Color not in color table"},
    {"invalid-colors.gif", "Color not in color table"},
};
// giflib 5.2 misreads an extension block without data sub-blocks (it reads
// on past its terminator); a comment whose only line is a NUL byte is
// written as one, since its line is empty.
const std::set<std::string> kGiflibMisreads = {"nul-comment.gif"};

class RoundTrip : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(RoundTrip, SavesTheSameTreeThatGiflibReads)
{
    const auto path = GetParam();
    TGIFImage original;
    try {
        test::LoadBytes(original, test::ReadFileBytes(path));
    } catch (const GIFException&) {
        GTEST_SKIP() << "does not load (the conformance test says why)";
    }
    if (original.GetEmpty())
        GTEST_SKIP() << "no frames: nothing to save";
    const std::string file = path.filename().string();
    for (const uint8_t encoding : {kEncodingLZW, kEncodingRLE}) {
        const std::string what = file + (encoding == kEncodingRLE ? " (rle)" : " (lzw)");
        original.SetEncoding(encoding);
        if (kSaveRefused.count(file)) {
            try {
                test::SaveBytes(original);
                ADD_FAILURE() << what << " should not save";
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), kSaveRefused.at(file)) << what;
            }
            continue;
        }
        const std::vector<uint8_t> saved = test::SaveBytes(original);
        TGIFImage reloaded;
        ASSERT_NO_THROW(test::LoadBytes(reloaded, saved)) << what;
        ExpectSameTree(original, reloaded, what);
        if (!kGiflibMisreads.count(file))
            test::ExpectGiflibReadsTheSame(original, saved, what);
    }
}

INSTANTIATE_TEST_SUITE_P(TestData, RoundTrip, ::testing::ValuesIn(test::AllTestGIFs()),
                         [](const auto& info) { return test::TestNameFor(info.param); });

} // namespace
} // namespace animora
