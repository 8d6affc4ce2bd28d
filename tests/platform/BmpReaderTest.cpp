// The BMP reader against the reference pictures of the BMP suite, and
// against damaged and hostile files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/Bitmap.h"
#include "platform/Endian.h"
#include "platform/Errors.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;

namespace {

struct Pam {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// An 8-bit RGB PAM file: a text header up to ENDHDR, then the samples.
Pam ReadPam(const std::filesystem::path& path)
{
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const size_t end = text.find("ENDHDR\n");
    std::istringstream header(text.substr(0, end));
    Pam pam;
    std::string key;
    while (header >> key) {
        if (key == "WIDTH")
            header >> pam.width;
        else if (key == "HEIGHT")
            header >> pam.height;
        else if (key == "DEPTH" || key == "MAXVAL") {
            int value;
            header >> value;
            EXPECT_EQ(value, key == "DEPTH" ? 3 : 255) << path;
        }
    }
    pam.rgb.assign(bytes.begin() + static_cast<long>(end + 7), bytes.end());
    return pam;
}

struct SuiteEntry {
    std::string bmp, pam;
};

std::vector<SuiteEntry> SuiteMap()
{
    std::istringstream map(test::ReadFileText(test::TestDataDir() / "bmpsuite/ref/MAP.txt"));
    std::vector<SuiteEntry> entries;
    std::string line;
    while (std::getline(map, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        SuiteEntry entry;
        fields >> entry.bmp >> entry.pam;
        entries.push_back(entry);
    }
    return entries;
}

// How each kind of file is held once loaded.
PixelFormat ExpectedFormat(const std::string& name)
{
    if (name.starts_with("pal1"))
        return PixelFormat::pf1bit;
    if (name.starts_with("pal4"))
        return PixelFormat::pf4bit;
    if (name.starts_with("pal8"))
        return PixelFormat::pf8bit;
    return PixelFormat::pf24bit;
}

} // namespace

TEST(BmpReader, EverySuiteFileDecodesToItsReference)
{
    const auto entries = SuiteMap();
    ASSERT_EQ(entries.size(), 27u);
    for (const SuiteEntry& entry : entries) {
        SCOPED_TRACE(entry.bmp);
        TBitmap bitmap;
        bitmap.LoadFromFile((test::TestDataDir() / "bmpsuite" / entry.bmp).string());
        const Pam ref = ReadPam(test::TestDataDir() / "bmpsuite/ref" / entry.pam);
        ASSERT_EQ(bitmap.Width(), ref.width);
        ASSERT_EQ(bitmap.Height(), ref.height);
        EXPECT_EQ(bitmap.GetPixelFormat(), ExpectedFormat(entry.bmp));
        int mismatches = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x) {
                const uint8_t* p = &ref.rgb[3 * (static_cast<size_t>(y) * ref.width + x)];
                if (bitmap.PixelColor(x, y) != MakeColor(p[0], p[1], p[2]) && mismatches++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << bitmap.PixelColor(x, y)
                                  << " not " << MakeColor(p[0], p[1], p[2]);
            }
        EXPECT_EQ(mismatches, 0);
    }
}

namespace {

// A BMP file built field by field, so that tests can make it lie.
struct BmpFile {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t colorsUsed = 2;
    uint32_t headerSize = 40;
    std::vector<uint8_t> table = {0, 0, 0, 0, 255, 255, 255, 0};  // black, white
    std::vector<uint8_t> bits = {0, 1, 0, 1, 1, 0, 1, 0};
    int64_t bitsOffset = -1;  // -1: right after the table

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> file(14 + std::max<uint32_t>(headerSize, 40), 0);
        file[0] = 'B', file[1] = 'M';
        const uint32_t offset = bitsOffset >= 0 ? static_cast<uint32_t>(bitsOffset)
                                                : static_cast<uint32_t>(14 + headerSize + table.size());
        PutU32LE(&file[10], offset);
        PutU32LE(&file[14], headerSize);
        PutU32LE(&file[18], static_cast<uint32_t>(width));
        PutU32LE(&file[22], static_cast<uint32_t>(height));
        PutU16LE(&file[26], 1);
        PutU16LE(&file[28], bitCount);
        PutU32LE(&file[30], compression);
        PutU32LE(&file[46], colorsUsed);
        file.resize(14 + headerSize);
        file.insert(file.end(), table.begin(), table.end());
        file.insert(file.end(), bits.begin(), bits.end());
        return file;
    }
};

TBitmap Load(const std::vector<uint8_t>& bytes)
{
    TBytesViewStream stream(bytes.data(), bytes.size());
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    return bitmap;
}

// The palette indices of a loaded 8-bit bitmap, top row first.
std::vector<uint8_t> Indices(const TBitmap& bitmap)
{
    std::vector<uint8_t> indices;
    for (int y = 0; y < bitmap.Height(); ++y)
        indices.insert(indices.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
    return indices;
}

BmpFile Rle8(std::vector<uint8_t> data, int width = 4, int height = 2)
{
    BmpFile file;
    file.compression = 1;
    file.width = width;
    file.height = height;
    file.bits = std::move(data);
    return file;
}

} // namespace

TEST(BmpReader, RunLengthDataDecodes)
{
    struct Case {
        const char* what;
        BmpFile file;
        std::vector<uint8_t> indices;  // top row first
    };
    BmpFile rle4 = Rle8({3, 0x10, 0, 0, 0, 3, 0x01, 0x10, 0, 1}, 4, 2);
    rle4.compression = 2;
    rle4.bitCount = 4;
    const Case cases[] = {
        {"runs and end of line", Rle8({4, 1, 0, 0, 2, 1, 2, 0, 0, 1}), {1, 1, 0, 0, 1, 1, 1, 1}},
        {"absolute run with padding", Rle8({0, 3, 1, 0, 1, 0xEE, 0, 0, 0, 1}), {0, 0, 0, 0, 1, 0, 1, 0}},
        {"delta leaves index 0", Rle8({0, 2, 1, 1, 1, 1, 0, 1}), {0, 1, 0, 0, 0, 0, 0, 0}},
        {"data ending early", Rle8({2, 1}), {0, 0, 0, 0, 1, 1, 0, 0}},
        {"RLE4 nibbles", rle4, {0, 1, 1, 0, 1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap bitmap = Load(c.file.Bytes());
        if (bitmap.GetPixelFormat() == PixelFormat::pf4bit)
            bitmap.SetPixelFormat(PixelFormat::pf8bit);
        EXPECT_EQ(Indices(bitmap), c.indices);
    }
}

// Damaged and hostile files: the clear message, no crash, no overrun, no
// huge allocation, and the bitmap keeps its old picture.
TEST(BmpReader, HostileFilesAreRefused)
{
    struct Case {
        const char* what;
        BmpFile file;
    };
    auto with = [](auto change) {
        BmpFile file;
        change(file);
        return file;
    };
    const Case cases[] = {
        {"huge width", with([](BmpFile& f) { f.width = 0x7FFFFFFF; })},
        {"huge height, little data", with([](BmpFile& f) { f.height = 1 << 20; })},
        {"most negative height", with([](BmpFile& f) { f.height = INT32_MIN; })},
        {"zero width", with([](BmpFile& f) { f.width = 0; })},
        {"negative width", with([](BmpFile& f) { f.width = -4; })},
        {"pixels past the end", with([](BmpFile& f) { f.bitsOffset = 1000; })},
        {"pixels inside the header", with([](BmpFile& f) { f.bitsOffset = 20; })},
        {"palette past the end", with([](BmpFile& f) { f.colorsUsed = 200; })},
        {"header larger than the file", with([](BmpFile& f) { f.headerSize = 100000; })},
        {"tiny header", with([](BmpFile& f) { f.headerSize = 8; })},
        {"bit count 7", with([](BmpFile& f) { f.bitCount = 7; })},
        {"unknown compression", with([](BmpFile& f) { f.compression = 9; })},
        {"RLE8 at 24 bits", with([](BmpFile& f) { f.compression = 1, f.bitCount = 24; })},
        {"RLE top-down", with([](BmpFile& f) { f.compression = 1, f.height = -2; })},
        {"bit fields without masks", with([](BmpFile& f) { f.compression = 3, f.bitCount = 16, f.bits.clear(); })},
        {"run past the row end", Rle8({5, 1, 0, 1})},
        {"absolute run past the row end", Rle8({0, 6, 1, 1, 1, 1, 1, 1, 0, 1})},
        {"absolute run past the data", Rle8({0, 4, 1})},
        {"delta past the picture", Rle8({0, 2, 9, 0, 0, 1})},
        {"delta cut short", Rle8({0, 2, 1})},
        {"rows past the top", Rle8({0, 0, 0, 0, 1, 1})},
        {"huge RLE picture from a few bytes", Rle8({0, 1}, 20000, 20000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap bitmap(3, 3);
        const std::vector<uint8_t> bytes = c.file.Bytes();
        TBytesViewStream stream(bytes.data(), bytes.size());
        try {
            bitmap.LoadFromStream(stream);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Bitmap image is not valid");
        }
        EXPECT_EQ(bitmap.Width(), 3);
    }
}

TEST(BmpReader, EveryTruncationOfASuiteFileIsRefused)
{
    for (const char* name : {"pal4rle.bmp", "rgb16-565.bmp", "pal8os2.bmp"}) {
        const auto bytes = test::ReadFileBytes(test::TestDataDir() / "bmpsuite" / name);
        const bool runLength = std::string(name).find("rle") != std::string::npos;
        for (size_t size = 0; size < bytes.size(); ++size) {
            TBytesViewStream stream(bytes.data(), size);
            TBitmap bitmap;
            try {
                bitmap.LoadFromStream(stream);
                // Run-length data may end early; the header must be whole.
                EXPECT_TRUE(runLength) << name << " cut to " << size;
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

TEST(BmpReader, PaletteCountsAreCheckedAndCapped)
{
    BmpFile tooMany;  // more entries than 8 bits can index: cut to 256
    tooMany.colorsUsed = 100000;
    tooMany.table.resize(1024, 7);
    EXPECT_EQ(Load(tooMany.Bytes()).Palette().Count(), 256);
    BmpFile implicit;  // 0 = as many as fit before the pixels
    implicit.colorsUsed = 0;
    EXPECT_EQ(Load(implicit.Bytes()).Palette().Count(), 2);
    BmpFile twoBit;
    twoBit.bitCount = 2;
    twoBit.bits = {0x1B, 0, 0, 0, 0xE4, 0, 0, 0};
    twoBit.table.resize(16, 0);
    twoBit.colorsUsed = 4;
    const TBitmap loaded = Load(twoBit.Bytes());
    EXPECT_EQ(loaded.GetPixelFormat(), PixelFormat::pf4bit) << "2-bit pictures become 4-bit";
    EXPECT_EQ(loaded.ScanLine(0)[0], 0x32);  // top row is the second file row: 3 2 1 0
    EXPECT_EQ(loaded.ScanLine(1)[0], 0x01);
}

// A picture inside a longer stream leaves the stream right after its pixels.
TEST(BmpReader, LoadingStopsAfterThePicture)
{
    for (const BmpFile& file : {BmpFile(), Rle8({4, 1, 0, 0, 4, 0, 0, 1})}) {
        std::vector<uint8_t> bytes = file.Bytes();
        const size_t size = bytes.size();
        bytes.insert(bytes.end(), {'n', 'e', 'x', 't'});
        TBytesViewStream stream(bytes.data(), bytes.size());
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(size));
    }
}

// 32-bit pictures with an alpha mask stay 32-bit only when the alpha says
// something; a mask of 0 or all 255 (or all 0: writers that ignore alpha)
// gives 24 bits.
TEST(BmpReader, AlphaChannelIsKeptOnlyWhenItMatters)
{
    struct Case {
        uint8_t alpha0, alpha1;
        PixelFormat format;
    };
    const Case cases[] = {
        {255, 128, PixelFormat::pf32bit},
        {255, 255, PixelFormat::pf24bit},
        {0, 0, PixelFormat::pf24bit},
    };
    for (const Case& c : cases) {
        BmpFile file;
        file.width = 2, file.height = 1, file.bitCount = 32, file.colorsUsed = 0;
        file.compression = 6;  // bit fields with alpha: four masks after the header
        file.table = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF};
        file.bits = {1, 2, 3, c.alpha0, 4, 5, 6, c.alpha1};
        const TBitmap bitmap = Load(file.Bytes());
        EXPECT_EQ(bitmap.GetPixelFormat(), c.format) << int(c.alpha1);
        EXPECT_EQ(bitmap.PixelColor(1, 0), MakeColor(6, 5, 4));
        if (c.format == PixelFormat::pf32bit) {
            EXPECT_EQ(bitmap.ScanLine(0)[7], c.alpha1);
        }
    }
}
