// The BMP writer: the layout of what it writes, read back by our reader and
// by ImageMagick.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/Bitmap.h"
#include "platform/Endian.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;

namespace {

// Random pixels; palette formats get a palette of `colors` random entries
// and indices below it.
TBitmap RandomBitmap(int width, int height, PixelFormat format, int colors, unsigned seed)
{
    std::mt19937 random(seed);
    TBitmap bitmap(width, height, format);
    if (IsPaletteFormat(format)) {
        TPalette palette;
        for (int i = 0; i < colors; ++i)
            palette.Add({uint8_t(random()), uint8_t(random()), uint8_t(random()), 0});
        bitmap.SetPalette(palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixelColor(x, y, palette.Color(static_cast<int>(random() % colors)));
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixelColor(x, y, random() & 0xFFFFFF);
    }
    return bitmap;
}

TBitmap RoundTrip(const TBitmap& bitmap, std::vector<uint8_t>* bytes = nullptr)
{
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    if (bytes)
        *bytes = stream.Bytes();
    stream.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(stream);
    return back;
}

struct WriterCase {
    PixelFormat format;
    int colors;  // palette entries
    int bitCount;  // in the file
};

const WriterCase kWriterCases[] = {
    {PixelFormat::pf1bit, 2, 1},   {PixelFormat::pf4bit, 16, 4}, {PixelFormat::pf4bit, 5, 4},
    {PixelFormat::pf8bit, 256, 8}, {PixelFormat::pf8bit, 20, 8}, {PixelFormat::pf24bit, 0, 24},
};

std::string OutputOf(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

} // namespace

TEST(BmpWriter, WritesHeadersTableAndBottomUpRows)
{
    for (const WriterCase& c : kWriterCases) {
        SCOPED_TRACE(c.bitCount);
        const TBitmap bitmap = RandomBitmap(13, 7, c.format, c.colors, 1);
        std::vector<uint8_t> file;
        const TBitmap back = RoundTrip(bitmap, &file);
        EXPECT_TRUE(back.SamePicture(bitmap));
        const uint32_t offset = 54 + 4 * static_cast<uint32_t>(c.colors);
        ASSERT_EQ(file.size(), offset + 7 * bitmap.RowBytes());
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(GetU32LE(&file[2]), file.size());
        EXPECT_EQ(GetU32LE(&file[10]), offset);
        EXPECT_EQ(GetU32LE(&file[14]), 40u);
        EXPECT_EQ(GetS32LE(&file[22]), 7) << "positive height: rows bottom-up";
        EXPECT_EQ(GetU16LE(&file[28]), c.bitCount);
        EXPECT_EQ(GetU32LE(&file[46]), static_cast<uint32_t>(c.colors));
        EXPECT_EQ(0, memcmp(&file[offset], bitmap.ScanLine(6), bitmap.RowBytes())) << "bottom row first";
        if (c.colors > 0) {
            const TPaletteEntry first = bitmap.Palette()[0];
            EXPECT_EQ(file[54], first.blue);
            EXPECT_EQ(file[56], first.red);
        }
    }
}

TEST(BmpWriter, OtherFormatsAreWrittenAs24Bits)
{
    for (PixelFormat format : {PixelFormat::pf15bit, PixelFormat::pf16bit, PixelFormat::pf32bit}) {
        const TBitmap bitmap = RandomBitmap(5, 3, format, 0, 2);
        const TBitmap back = RoundTrip(bitmap);
        EXPECT_EQ(back.GetPixelFormat(), PixelFormat::pf24bit);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(back.PixelColor(x, y), bitmap.PixelColor(x, y));
    }
}

TEST(BmpWriter, SavedFilesReadBackFromDisk)
{
    const auto dir = test::MakeTempDir("animora-bmp");
    const std::string name = (dir / "picture.bmp").string();
    const TBitmap bitmap = RandomBitmap(31, 17, PixelFormat::pf8bit, 100, 3);
    bitmap.SaveToFile(name);
    TBitmap back;
    back.LoadFromFile(name);
    EXPECT_TRUE(back.SamePicture(bitmap));
    std::filesystem::remove_all(dir);
}

// An independent reader sees the same size and the same colours.
TEST(BmpWriter, ImageMagickReadsWhatWeWrite)
{
    if (std::system("identify -version >/dev/null 2>&1") != 0 || std::system("convert -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    const auto dir = test::MakeTempDir("animora-bmp-im");
    for (const WriterCase& c : kWriterCases) {
        SCOPED_TRACE(c.bitCount);
        const TBitmap bitmap = RandomBitmap(13, 7, c.format, c.colors, 4);
        const std::string name = (dir / ("w" + std::to_string(c.bitCount) + "-" + std::to_string(c.colors) + ".bmp")).string();
        bitmap.SaveToFile(name);
        EXPECT_EQ(OutputOf("identify -format '%w %h' '" + name + "'"), "13 7");
        const std::string rgb = OutputOf("convert '" + name + "' -depth 8 rgb:-");
        ASSERT_EQ(rgb.size(), 13u * 7 * 3);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) {
                const auto* p = reinterpret_cast<const uint8_t*>(&rgb[3 * (static_cast<size_t>(y) * 13 + x)]);
                ASSERT_EQ(MakeColor(p[0], p[1], p[2]), bitmap.PixelColor(x, y)) << x << "," << y;
            }
    }
    std::filesystem::remove_all(dir);
}
