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
