// The file structure the writer produces: extension blocks byte for byte,
// padded colour tables, packed fields and the version rule.
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

std::vector<uint8_t> Written(TGIFItem& item)
{
    TMemoryStream stream;
    item.WriteToStream(stream);
    return stream.Bytes();
}

TGIFSubImage& AddFrame(TGIFImage& image, int width, int height)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage& ref = *frame;
    image.Add(std::move(frame));
    ref.SetBounds(0, 0, width, height);
    return ref;
}

TEST(ExtensionWriteTest, BlocksAreWrittenByteForByte)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 1, 1);
    for (int i = 0; i < 8; ++i)
        frame.ColorMap().AddColor(static_cast<TColor>(i));

    TGIFGraphicControlExtension control(frame);
    control.SetDisposal(2);
    control.SetTransparent(true);
    control.SetDelay(10);
    control.SetTransparentColorIndex(5);
    EXPECT_EQ(control.PackedFields(), 0x09);
    EXPECT_EQ(Written(control), (std::vector<uint8_t>{0x21, 0xF9, 0x04, 0x09, 0x0A, 0x00, 0x05, 0x00}));

    TGIFAppExtNSLoop loop(frame);
    std::vector<uint8_t> expected{0x21, 0xFF, 0x0B};
    expected.insert(expected.end(), {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'});
    expected.insert(expected.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(Written(loop), expected);

    loop.SetLoops(0x0102);
    loop.SetBufferSize(0x01020304);
    const std::vector<uint8_t> withBuffer = Written(loop);
    EXPECT_EQ(std::vector<uint8_t>(withBuffer.begin() + 14, withBuffer.end()),
              (std::vector<uint8_t>{0x03, 0x01, 0x02, 0x01, 0x05, 0x02, 0x04, 0x03, 0x02, 0x01, 0x00}));
}

TEST(ExtensionWriteTest, CommentLinesAreCutIntoSubBlocks)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 1, 1);
    struct Case {
        std::vector<std::string> lines;
        std::vector<size_t> blockSizes;
    };
    const Case cases[] = {
        {{std::string(600, 'x')}, {255, 255, 90}},
        {{"", "ab"}, {2}},  // an empty line disappears
        {{}, {}},
    };
    for (const Case& c : cases) {
        TGIFCommentExtension comment(frame);
        comment.Lines() = c.lines;
        const std::vector<uint8_t> bytes = Written(comment);
        ASSERT_EQ(bytes[0], 0x21);
        ASSERT_EQ(bytes[1], 0xFE);
        std::vector<size_t> sizes;
        size_t at = 2;
        while (bytes.at(at) != 0) {
            sizes.push_back(bytes[at]);
            at += bytes[at] + 1;
        }
        EXPECT_EQ(sizes, c.blockSizes);
        EXPECT_EQ(at + 1, bytes.size());

        TGIFCommentExtension readBack(frame);
        TBytesViewStream stream(bytes.data(), bytes.size());
        readBack.ReadFromStream(stream);
        EXPECT_EQ(readBack.Lines().size(), c.blockSizes.size());
    }
}

TEST(FileWriteTest, GlobalMapIsPaddedAndPackedFieldsRecomputed)
{
    TGIFImage image;
    for (TColor c : {1u, 2u, 3u, 4u, 5u})
        image.Header().ColorMap().AddColor(c);
    image.Header().SetPackedFields(0x00);  // stale: recomputed when written
    AddFrame(image, 1, 1);
    const std::vector<uint8_t> bytes = test::SaveBytes(image);
    ASSERT_GE(bytes.size(), 13u + 24u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    EXPECT_EQ(bytes[10], 0x80 | (2 << 4) | 2);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 13 + 15, bytes.begin() + 13 + 24), std::vector<uint8_t>(9, 0));
    EXPECT_EQ(bytes[13 + 12], 5);  // the fifth entry's red byte
    EXPECT_EQ(bytes[13 + 24], 0x2C);
}

TEST(FileWriteTest, VersionFollowsWhatTheFramesUse)
{
    TGIFImage image;
    EXPECT_THROW(
        {
            try {
                test::SaveBytes(image);
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Unsupported GIF version");
                throw;
            }
        },
        GIFException);
    TGIFSubImage& frame = AddFrame(image, 1, 1);
    image.Header().SetAspectRatio(49);  // the header's own needs do not count
    auto signature = [&] {
        const auto bytes = test::SaveBytes(image);
        return std::string(bytes.begin(), bytes.begin() + 6);
    };
    EXPECT_EQ(signature(), "GIF87a");
    frame.Extensions().Append(std::make_unique<TGIFCommentExtension>(frame));
    EXPECT_EQ(signature(), "GIF89a");
}

TEST(FileWriteTest, InterlaceIsKeptOnlyWithoutALocalMap)
{
    // A frame with its own map is written with rows in natural order.
    for (const bool localMap : {false, true}) {
        TGIFImage image;
        if (!localMap) {
            for (TColor c : {0u, 0xFFu, 0xFF00u})
                image.Header().ColorMap().AddColor(c);
        }
        TGIFSubImage& frame = AddFrame(image, 2, 3);
        if (localMap) {
            for (TColor c : {0u, 0xFFu, 0xFF00u})
                frame.ColorMap().AddColor(c);
        }
        frame.SetPackedFields(0x40 | 0x18);
        for (int y = 0; y < 3; ++y)
            frame.ScanLine(y)[1] = static_cast<uint8_t>(y);
        const std::vector<uint8_t> bytes = test::SaveBytes(image);
        const size_t descriptor = 13 + (localMap ? 0 : 12);
        ASSERT_EQ(bytes[descriptor], 0x2C);
        EXPECT_EQ(bytes[descriptor + 9], localMap ? 0x81 : 0x58) << "local map " << localMap;
        TGIFImage reloaded;
        test::LoadBytes(reloaded, bytes);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(reloaded.Images().SubImage(0)->PixelAt(1, y), y) << "local map " << localMap;
        EXPECT_EQ(bytes[10] & 0x07, 1);  // global size bits, or the image-wide depth - 1
    }
}

TEST(FileWriteTest, FrameWithoutPixelsWritesOnlyItsExtensions)
{
    TGIFImage image;
    AddFrame(image, 1, 1);
    TGIFSubImage& tail = AddFrame(image, 0, 0);
    auto comment = std::make_unique<TGIFCommentExtension>(tail);
    comment->Lines() = {"end"};
    tail.Extensions().Append(std::move(comment));
    const std::vector<uint8_t> bytes = test::SaveBytes(image);
    const std::vector<uint8_t> tailBytes{0x21, 0xFE, 3, 'e', 'n', 'd', 0, 0x3B};
    ASSERT_GE(bytes.size(), tailBytes.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()), tailBytes);
}

TEST(FileWriteTest, PixelOutsideTheColorTableIsRefused)
{
    TGIFImage image;
    TGIFSubImage& frame = AddFrame(image, 2, 1);
    frame.ColorMap().AddColor(0);
    frame.ColorMap().AddColor(1);
    frame.ColorMap().AddColor(2);
    frame.ScanLine(0)[1] = 3;
    EXPECT_THROW(test::SaveBytes(image), GIFException);
}

TEST(FileWriteTest, SaveToFileKeepsTheOldFileWhenSavingFails)
{
    const auto dir = test::MakeTempDir("gif-save");
    const std::string path = (dir / "kept.gif").string();
    TMemoryStream old(std::vector<uint8_t>{'o', 'l', 'd'});
    old.SaveToFile(path);
    TGIFImage empty;  // no frames: saving raises
    EXPECT_THROW(empty.SaveToFile(path), GIFException);
    TMemoryStream check;
    check.LoadFromFile(path);
    EXPECT_EQ(check.Bytes(), (std::vector<uint8_t>{'o', 'l', 'd'}));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace animora
