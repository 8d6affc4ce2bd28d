// The icon reader: directory entries of every kind, the choice of picture,
// masks from the AND bits, alpha and PNG transparency, and hostile files.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "FormatsTestSupport.h"
#include "formats/IconReader.h"
#include "formats/Picture.h"

using namespace animora;
using namespace animora::test;

namespace {

// 8 x 8, 4 bits: every pixel colour 1 (red); the AND mask hides the left half.
std::vector<uint8_t> FourBitEntry()
{
    Bytes dib;
    dib.U32(40).S32(8).S32(16).U16(1).U16(4).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    dib.U32(0x000000).U32(0x00FF0000);  // black, red (stored 0x00RRGGBB as B,G,R,0)
    for (int i = 2; i < 16; ++i)
        dib.U32(0);
    for (int row = 0; row < 8; ++row)
        dib.U32(0x11111111);
    for (int row = 0; row < 8; ++row)
        dib.U8(0xF0).U8(0).U8(0).U8(0);
    return dib.Data();
}

// 8 x 8, 32 bits: green, with the top row fully transparent by alpha.
std::vector<uint8_t> AlphaEntry()
{
    Bytes dib;
    dib.U32(40).S32(8).S32(16).U16(1).U16(32).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    for (int stored = 0; stored < 8; ++stored) {
        const bool topRow = stored == 7;
        for (int x = 0; x < 8; ++x)
            dib.U8(0).U8(0xFF).U8(0).U8(topRow ? 0 : 0xFF);
    }
    for (int row = 0; row < 8; ++row)
        dib.U32(0);
    return dib.Data();
}

// 24 x 24 PNG: blue, the left half transparent.
std::vector<uint8_t> PngEntry()
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 255, 255));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 12; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

struct Entry {
    std::vector<uint8_t> bytes;
    int width, height, bits;
    int64_t offsetShift = 0;  // moves the entry's offset, to point it elsewhere
};

std::vector<uint8_t> IconFile(const std::vector<Entry>& entries)
{
    Bytes file;
    file.U16(0).U16(1).U16(uint16_t(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        file.U8(uint8_t(e.width)).U8(uint8_t(e.height)).U8(0).U8(0).U16(1).U16(uint16_t(e.bits));
        file.U32(uint32_t(e.bytes.size())).U32(uint32_t(offset + e.offsetShift));
        offset += uint32_t(e.bytes.size());
    }
    for (const Entry& e : entries)
        file.Append(e.bytes);
    return file.Data();
}

TPicture LoadIcon(const std::vector<uint8_t>& bytes)
{
    TPicture picture;
    picture.LoadFromBytes(bytes.data(), bytes.size(), PictureKind::pkIcon);
    return picture;
}

struct ChoiceCase {
    const char* name;
    std::vector<Entry> entries;
    int width;
    int transparentX, transparentY;  // a pixel the mask must hide
    int opaqueX, opaqueY;
    uint32_t opaqueColor;
};

TEST(Icon, LargestDeepestImageIsThePictureWithItsMask)
{
    const ChoiceCase cases[] = {
        {"four bits, AND mask", {{FourBitEntry(), 8, 8, 4}}, 8, 1, 3, 6, 3, 0xFF0000},
        {"deeper of equal size", {{FourBitEntry(), 8, 8, 4}, {AlphaEntry(), 8, 8, 32}}, 8, 5, 0, 5, 5, 0x00FF00},
        {"larger PNG", {{AlphaEntry(), 8, 8, 32}, {PngEntry(), 24, 24, 32}}, 24, 3, 10, 20, 10, 0x0000FF},
        {"bad entry skipped", {{AlphaEntry(), 8, 8, 32}, {PngEntry(), 24, 24, 32, 100000}}, 8, 5, 0, 5, 5, 0x00FF00},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPicture picture = LoadIcon(IconFile(c.entries));
        ASSERT_EQ(picture.Width(), c.width);
        ASSERT_TRUE(picture.HasMask());
        EXPECT_TRUE(MaskBit(picture.Mask(), c.transparentX, c.transparentY));
        EXPECT_FALSE(MaskBit(picture.Mask(), c.opaqueX, c.opaqueY));
        EXPECT_EQ(PixelRgb(picture.Bitmap(), c.opaqueX, c.opaqueY), c.opaqueColor);
        EXPECT_EQ(PixelRgb(picture.Bitmap(), c.transparentX, c.transparentY), 0xFFFFFFu);
    }
}

TEST(Icon, EveryDirectoryImageIsRead)
{
    const auto bytes = IconFile({{FourBitEntry(), 8, 8, 4}, {AlphaEntry(), 8, 8, 32}, {PngEntry(), 24, 24, 32}});
    const auto images = ReadIconImages(bytes.data(), bytes.size());
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].bitDepth, 4);
    EXPECT_TRUE(images[2].png);
}

TEST(Icon, HostileFilesAreRefused)
{
    std::vector<uint8_t> huge = FourBitEntry();
    huge[4] = 0xFF, huge[5] = 0xFF, huge[6] = 0xFF, huge[7] = 0x7F;  // width 2^31 - 1
    std::vector<uint8_t> countTooLarge = IconFile({{FourBitEntry(), 8, 8, 4}});
    countTooLarge[4] = 0xFF;
    std::vector<uint8_t> truncated = IconFile({{FourBitEntry(), 8, 8, 4}});
    truncated.resize(60);
    std::vector<uint8_t> noImages = {0, 0, 1, 0, 0, 0};
    std::vector<uint8_t> badPng = PngEntry();
    badPng[16] = 0x7F;  // width far beyond any icon
    const std::vector<std::vector<uint8_t>> files = {
        huge.empty() ? huge : IconFile({{huge, 8, 8, 4}}),
        countTooLarge,
        truncated,
        noImages,
        IconFile({{badPng, 0, 0, 32}}),
        IconFile({{FourBitEntry(), 8, 8, 4, -6}}),  // points into the directory
    };
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            LoadIcon(files[i]);
            ADD_FAILURE();
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Icon image is not valid");
        }
    }
}

} // namespace
