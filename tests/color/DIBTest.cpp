#include <gtest/gtest.h>

#include <vector>

#include "color/ColorPalettes.h"
#include "color/DIB.h"
#include "platform/Errors.h"
#include "support/ColorPictures.h"

using namespace animora;
using animora::test::RGB;

namespace {

template <class Exception>
void ExpectRaises(const std::function<void()>& action, const std::string& message)
{
    try {
        action();
        ADD_FAILURE() << "no exception, expected " << message;
    } catch (const Exception& error) {
        EXPECT_EQ(error.what(), message);
    }
}

} // namespace

TEST(DIBWriter, RowSizesAndBottomUpOrder)
{
    const struct {
        PixelFormat format;
        int width;
        size_t rowBytes;
    } cases[] = {{PixelFormat::pf8bit, 3, 4}, {PixelFormat::pf24bit, 3, 12}, {PixelFormat::pf24bit, 5, 16},
                 {PixelFormat::pf8bit, 8, 8}};
    for (const auto& c : cases) {
        TBitmap target;
        TDIBWriter writer(target, c.format, c.width, 10, nullptr);
        uint8_t* row0 = writer.GetRow(0);
        EXPECT_EQ(writer.RowBytes(), c.rowBytes) << c.width;
        EXPECT_EQ(writer.BitsSize(), c.rowBytes * 10);
        EXPECT_EQ(writer.InfoSize(), c.format == PixelFormat::pf8bit ? 1064 : 40);
        EXPECT_EQ(row0 - writer.Bits(), static_cast<ptrdiff_t>(9 * c.rowBytes)) << "row 0 is last in memory";
        EXPECT_EQ(writer.GetRow(9), writer.Bits());
        EXPECT_EQ(writer.Info()->Header.Height, 10);
        EXPECT_EQ(writer.Info()->Header.BitCount, c.format == PixelFormat::pf8bit ? 8 : 24);
    }
}

TEST(DIBWriter, ColorTableFromThePalette)
{
    const TPalette empty;
    const TPalette stock = MakeStockPalette();
    const struct {
        const char* name;
        const TPalette* palette;
        uint32_t important;
    } cases[] = {{"no palette", nullptr, 0}, {"empty palette", &empty, 0}, {"stock palette", &stock, 20}};
    for (const auto& c : cases) {
        TBitmap target;
        TDIBWriter writer(target, PixelFormat::pf8bit, 4, 4, c.palette);
        writer.GetRow(0);
        const TBitmapInfo& info = *writer.Info();
        EXPECT_EQ(info.Header.ClrUsed, 256u) << c.name;
        EXPECT_EQ(info.Header.ClrImportant, c.important) << c.name;
        for (int i = 0; i < 256; ++i) {
            const TRGBQuad& quad = info.Colors[i];
            TPaletteEntry expected{};
            if (i < static_cast<int>(c.important))
                expected = (*c.palette)[i];
            EXPECT_EQ((RGB{quad.red, quad.green, quad.blue}), (RGB{expected.red, expected.green, expected.blue}))
                << c.name << " entry " << i;
            EXPECT_EQ(quad.reserved, 0);
        }
    }
}

TEST(DIBWriter, RefusesWhatItCannotBuild)
{
    TBitmap target;
    ExpectRaises<EInvalidGraphic>([&] { TDIBWriter(target, PixelFormat::pf4bit, 4, 4, nullptr); },
                               "Unsupported PixelFormat");
    ExpectRaises<EInvalidGraphic>([&] { TDIBWriter(target, PixelFormat::pf32bit, 4, 4, nullptr); },
                               "Unsupported PixelFormat");
    ExpectRaises<EInvalidGraphic>([&] { TDIBWriter(target, PixelFormat::pf8bit, 0, 4, nullptr); },
                               "Invalid image dimensions");
    ExpectRaises<EInvalidGraphic>([&] { TDIBWriter(target, PixelFormat::pf8bit, 4, 0, nullptr); },
                               "Invalid image dimensions");
    ExpectRaises<EInvalidGraphic>([&] { TDIBWriter(target, PixelFormat::pf8bit, -4, 4, nullptr); },
                               "Invalid image dimensions");
    TDIBWriter writer(target, PixelFormat::pf8bit, 4, 10, nullptr);
    for (int row : {-1, 10})
        ExpectRaises<EInvalidGraphicOperation>([&] { writer.GetRow(row); }, "Scan line index out of range");
    ExpectRaises<EOutOfMemory>(
        [&] {
            TDIBWriter huge(target, PixelFormat::pf24bit, 1 << 20, 1 << 20, nullptr);
            huge.GetRow(0);
        },
        "Failed to allocate memory for GIF DIB");
}

TEST(DIBWriter, FinishingHandsThePictureToTheTarget)
{
    const TPalette palette({{255, 0, 0, 0}, {0, 0, 255, 0}});
    TBitmap target(2, 2, PixelFormat::pf24bit);
    {
        TDIBWriter writer(target, PixelFormat::pf8bit, 3, 2, &palette);
        writer.GetRow(0)[2] = 1; // top right
        writer.GetRow(1)[0] = 1; // bottom left
        EXPECT_EQ(target.Width(), 2) << "nothing is handed over before the end";
    }
    ASSERT_EQ(target.GetPixelFormat(), PixelFormat::pf8bit);
    ASSERT_EQ(target.Width(), 3);
    ASSERT_EQ(target.Height(), 2);
    EXPECT_EQ(target.Palette().Count(), 256);
    EXPECT_EQ(target.ScanLine(0)[2], 1);
    EXPECT_EQ(target.ScanLine(1)[0], 1);
    EXPECT_EQ(target.ScanLine(0)[0], 0);
    EXPECT_EQ(animora::test::ColorAt(target, 2, 0), (RGB{0, 0, 255}));

    TBitmap untouched(2, 2, PixelFormat::pf24bit);
    { TDIBWriter idle(untouched, PixelFormat::pf8bit, 3, 2, &palette); }
    EXPECT_EQ(untouched.GetPixelFormat(), PixelFormat::pf24bit) << "a writer never asked for a row hands nothing over";
}

TEST(DIBReader, ConvertsTheCallersBitmap)
{
    TBitmap bitmap(5, 3, PixelFormat::pf4bit);
    bitmap.SetPixelColor(1, 2, MakeColor(255, 0, 0));
    const TColor before = bitmap.PixelColor(1, 2);
    TDIBReader reader(bitmap, PixelFormat::pf24bit);
    EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat::pf24bit);
    EXPECT_EQ(bitmap.PixelColor(1, 2), before);
    EXPECT_EQ(reader.GetRow(2), bitmap.ScanLine(2));
}

TEST(DIBHelpers, HeaderAndBottomUpCopy)
{
    TBitmap picture = animora::test::MakePicture(3, 2, [](int x, int y) { return RGB{x * 10, y * 10, 7}; });
    TBitmapInfoHeader header;
    FillDIBHeader(picture, header, PixelFormat::pf24bit);
    EXPECT_EQ(header.Size, 40u);
    EXPECT_EQ(header.Width, 3);
    EXPECT_EQ(header.Height, 2);
    EXPECT_EQ(header.Planes, 1);
    EXPECT_EQ(header.BitCount, 24);
    EXPECT_EQ(header.SizeImage, 24u);
    FillDIBHeader(picture, header, PixelFormat::pf1bit);
    EXPECT_EQ(header.SizeImage, 8u);
    ExpectRaises<EInvalidGraphic>([&] { FillDIBHeader(picture, header, PixelFormat::pf32bit); },
                               "Unsupported PixelFormat");
    ExpectRaises<EInvalidGraphic>([&] { FillDIBHeader(TBitmap(), header, PixelFormat::pf8bit); },
                               "Bitmap image is not valid");

    TBitmapInfo info;
    std::vector<uint8_t> bits(24);
    ASSERT_TRUE(CopyDIBBits(picture, nullptr, info, PixelFormat::pf24bit, bits));
    EXPECT_EQ(bits[12 + 3], 7) << "the top row comes last";
    EXPECT_EQ(bits[12 + 5], 10);
    EXPECT_EQ(bits[4], 10) << "bottom row first: green 10";
    EXPECT_FALSE(CopyDIBBits(picture, nullptr, info, PixelFormat::pf24bit, std::span(bits).first(23)));

    const TPalette palette({{0, 0, 0, 0}, {20, 10, 7, 0}});
    std::vector<uint8_t> indices(8);
    ASSERT_TRUE(CopyDIBBits(picture, &palette, info, PixelFormat::pf8bit, indices));
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 1, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(info.Colors[1].red, 20);
}
