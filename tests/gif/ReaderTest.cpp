// The tolerant reader on small files built byte by byte: what it accepts,
// what it warns about and what it refuses.
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

using test::GifBytes;

// A 1 x 1 frame of pixel 0: minimum code size 2, codes clear, 0, end.
const std::vector<uint8_t> kOnePixel = {0x02, 0x02, 0x44, 0x01, 0x00};
const std::vector<uint8_t> kTwoColors = {0, 0, 0, 255, 255, 255};

GifBytes Screen(int packed = 0x80)
{
    GifBytes gif;
    gif.Header(1, 1, packed);
    if (packed & 0x80)
        gif.Bytes(std::vector<uint8_t>(static_cast<size_t>(3) << ((packed & 7) + 1), 0));
    return gif;
}

GifBytes& OneFrame(GifBytes& gif)
{
    return gif.Descriptor(1, 1).Bytes(kOnePixel);
}

std::vector<uint8_t> AppExtension(int blockSize, const std::string& identifier, const std::vector<uint8_t>& data)
{
    GifBytes gif;
    gif.Bytes({0x21, 0xFF, blockSize}).Text(identifier).Bytes(data);
    return gif.Data();
}

struct ReadCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;  // null: loads
    std::vector<std::string> warnings;
    int frames;
};

std::vector<ReadCase> ReadCases()
{
    std::vector<ReadCase> cases;
    auto add = [&](const char* name, GifBytes gif, const char* error, std::vector<std::string> warnings, int frames) {
        cases.push_back({name, gif.Data(), error, std::move(warnings), frames});
    };
    {
        GifBytes gif;
        gif.Header(1, 1, 0x80, "gif89a").Bytes(kTwoColors);
        add("lower-case signature", OneFrame(gif).Bytes({0x3B}), nullptr, {}, 1);
    }
    {
        GifBytes gif;
        gif.Bytes({1, 2, 3, 4}).Header(1, 1, 0x80, "GIF12x").Bytes(kTwoColors);
        add("signature after 4 bytes, unknown version", OneFrame(gif).Bytes({0x3B}), nullptr, {}, 1);
    }
    {
        GifBytes gif;
        gif.Header(1, 1, 0, "PNG89a");
        add("foreign signature", gif, "Invalid GIF signature", {}, 0);
    }
    {
        GifBytes gif = Screen();
        OneFrame(gif).Bytes({0, 0, 0});
        add("zero bytes between frames", OneFrame(gif).Bytes({0x3B}), nullptr, {}, 2);
    }
    {
        GifBytes gif = Screen();
        add("comment before the trailer only", gif.Bytes({0x21, 0xFE, 2, 'h', 'i', 0, 0x3B}), nullptr, {}, 1);
    }
    {
        GifBytes gif = Screen();
        add("extension label 0x02", gif.Bytes({0x21, 0x02, 0, 0x3B}), "Unknown extension type", {}, 0);
    }
    {
        GifBytes gif = Screen();
        gif.Bytes(AppExtension(9, "NETSCAPE2", {0}));
        add("application block size 9", OneFrame(gif), "Unsupported Application Extension block size", {}, 0);
    }
    {
        GifBytes gif = Screen();
        gif.Bytes(AppExtension(11, "NETSCAPE2.0", {2, 1, 0, 0}));
        add("looping sub-block too short", OneFrame(gif), "Invalid GIF data", {}, 0);
    }
    {
        GifBytes gif = Screen();
        gif.Bytes({0x21, 0xF9, 4, 1});
        add("graphic control cut short", gif, nullptr, {"Premature end of data"}, 1);
    }
    {
        GifBytes gif = Screen();
        add("unknown block type", OneFrame(gif).Bytes({0x99, 0x3B}), nullptr, {"Unknown GIF block type", "Invalid Image trailer"}, 1);
    }
    {
        GifBytes gif = Screen();
        add("no trailer", OneFrame(gif), nullptr, {}, 1);
    }
    {
        GifBytes gif = Screen();
        gif.Bytes({0x21, 0xFE, 1, 'x', 0}).Bytes({0x2D}).U16(0).U16(0).U16(1).U16(1).Bytes({0}).Bytes(kOnePixel);
        add("extension followed by a bad separator", gif.Bytes({0x3B}), nullptr, {}, 1);
    }
    {
        GifBytes gif;
        gif.Header(3, 2, 0x80).Bytes(kTwoColors).Descriptor(0, 1);
        gif.Bytes({0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
        add("frame of width 0 takes the screen size", gif, nullptr, {"Image exceeds Logical Screen size"}, 1);
    }
    {
        // 30 bytes that claim a 65535 x 65535 frame.
        GifBytes gif;
        gif.Header(65535, 65535, 0x80).Bytes(kTwoColors).Descriptor(65535, 65535).Bytes(kOnePixel);
        add("huge frame in a tiny file", gif, "Image too large: 65535 x 65535 pixels", {}, 0);
    }
    {
        // Frames that each fit the limit, but far more than the data can describe.
        GifBytes gif;
        gif.Header(8192, 8192, 0x80).Bytes(kTwoColors);
        for (int i = 0; i < 3; ++i)
            gif.Descriptor(8192, 8192).Bytes(kOnePixel);
        add("many large frames in a tiny file", gif, "Image too large: its frames hold more pixels than its data can describe", {}, 0);
    }
    return cases;
}

TEST(ReaderTest, ToleratesWhatItCanAndRefusesTheRest)
{
    for (const ReadCase& c : ReadCases()) {
        TGIFImage image;
        test::Warnings warnings;
        try {
            test::LoadBytes(image, c.bytes, &warnings);
            EXPECT_EQ(c.error, nullptr) << c.name << " loaded";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), c.error ? c.error : "(none)") << c.name;
        }
        if (!c.error) {
            EXPECT_EQ(image.Images().Count(), c.frames) << c.name;
        }
        std::vector<std::string> first(warnings.messages.begin(),
                                       warnings.messages.begin() + std::min(warnings.messages.size(), c.warnings.size()));
        EXPECT_EQ(first, c.warnings) << c.name;
    }
}

TEST(ReaderTest, GlobalTableSizeBits)
{
    for (const auto& [bits, colors] : {std::pair{0, 2}, std::pair{7, 256}}) {
        GifBytes gif = Screen(0x80 | bits);
        TGIFImage image;
        test::LoadBytes(image, OneFrame(gif).Bytes({0x3B}).Data());
        EXPECT_EQ(image.Header().ColorMap().Count(), colors);
    }
}

TEST(ReaderTest, ExtensionsAfterTheLastImageStayInPlace)
{
    GifBytes gif = Screen();
    OneFrame(gif).Bytes({0x21, 0xFE, 3, 'e', 'n', 'd', 0, 0x3B});
    TGIFImage image;
    test::LoadBytes(image, gif.Data());
    ASSERT_EQ(image.Images().Count(), 2);
    EXPECT_TRUE(image.Images().SubImage(1)->IsEmpty());
    const auto saved = test::SaveBytes(image);
    const std::vector<uint8_t> tail{0x00, 0x21, 0xFE, 3, 'e', 'n', 'd', 0, 0x3B};
    EXPECT_EQ(std::vector<uint8_t>(saved.end() - 9, saved.end()), tail);
}

TEST(ReaderTest, ApplicationExtensionsKeepTheirBytes)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> block;
        std::vector<uint8_t> written;  // empty: the block itself
        const char* kind;
    };
    const std::vector<uint8_t> sevenAndThree = {7, 1, 2, 3, 4, 5, 6, 7, 3, 8, 9, 10, 0};
    const Case cases[] = {
        {"unregistered identifier", AppExtension(11, "SOMEAPP1.00", sevenAndThree), {}, "TGIFUnknownAppExtension"},
        {"looping from ANIMEXTS1.0", AppExtension(11, "ANIMEXTS1.0", {3, 1, 5, 0, 0}), {}, "TGIFAppExtNSLoop"},
        // Sub-block id 9 counts as id 1: its loop count is read and written as id 1.
        {"looping sub-block id 9", AppExtension(11, "NETSCAPE2.0", {3, 9, 5, 0, 0}),
         AppExtension(11, "NETSCAPE2.0", {3, 1, 5, 0, 0}), "TGIFAppExtNSLoop"},
        // Block size 12 or more: the first 11 bytes identify it, the surplus is skipped.
        {"block size 13", AppExtension(13, "NETSCAPE2.0xy", {3, 1, 5, 0, 0}),
         AppExtension(11, "NETSCAPE2.0", {3, 1, 5, 0, 0}), "TGIFUnknownAppExtension"},
    };
    for (const Case& c : cases) {
        GifBytes gif = Screen();
        gif.Bytes(c.block);
        OneFrame(gif).Bytes({0x3B});
        TGIFImage image;
        test::LoadBytes(image, gif.Data());
        ASSERT_EQ(image.Images().Count(), 1) << c.name;
        TGIFExtension& extension = *image.Images().SubImage(0)->Extensions().Extension(0);
        EXPECT_EQ(extension.ClassName(), c.kind) << c.name;
        TMemoryStream written;
        extension.WriteToStream(written);
        EXPECT_EQ(written.Bytes(), c.written.empty() ? c.block : c.written) << c.name;
    }
}

TEST(ReaderTest, TruncatedFrameKeepsItsFillAndReportsIt)
{
    GifBytes gif = Screen();
    gif.Bytes({0x21, 0xF9, 4, 1, 0, 0, 1, 0});  // transparent index 1
    gif.Descriptor(4, 4).Bytes({0x02, 0x05, 0x44});  // a sub-block of 5 bytes holding 1
    TGIFImage image;
    test::Warnings warnings;
    test::LoadBytes(image, gif.Data(), &warnings);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images().SubImage(0);
    EXPECT_TRUE(frame.Transparent());
    EXPECT_EQ(frame.PixelAt(0, 0), 0);
    EXPECT_EQ(frame.PixelAt(3, 3), 1);
    EXPECT_FALSE(warnings.messages.empty());
}

TEST(ReaderTest, FailedLoadRestoresThePositionAndKeepsEarlierFrames)
{
    GifBytes gif = Screen();
    OneFrame(gif).Bytes({0x21, 0x02, 0});
    std::vector<uint8_t> bytes = {9, 9};
    bytes.insert(bytes.end(), gif.Data().begin(), gif.Data().end());
    TBytesViewStream stream(bytes.data(), bytes.size());
    stream.SetPosition(2);
    TGIFImage image;
    std::vector<std::pair<TProgressStage, int>> progress;
    image.OnProgress = [&](TPersistent&, TProgressStage stage, int percent, bool, const std::string& message) {
        EXPECT_EQ(message, "Loading...");
        progress.emplace_back(stage, percent);
    };
    EXPECT_THROW(image.LoadFromStream(stream), GIFException);
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(image.Images().Count(), 1);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().first, TProgressStage::psStarting);
    EXPECT_EQ(progress.back(), std::make_pair(TProgressStage::psEnding, 0));
}

TEST(ReaderTest, FileLoadAndSaveThroughTheDisk)
{
    const auto dir = test::MakeTempDir("gif-file");
    GifBytes gif = Screen();
    TMemoryStream(OneFrame(gif).Bytes({0x3B}).Data()).SaveToFile((dir / "in.gif").string());
    TGIFImage image;
    image.LoadFromFile((dir / "in.gif").string());
    image.SaveToFile((dir / "out.gif").string());
    TGIFImage again;
    again.LoadFromFile((dir / "out.gif").string());
    EXPECT_EQ(test::SaveBytes(again), test::SaveBytes(image));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace animora
