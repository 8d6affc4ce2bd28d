// Scans through libsane with SANE's own test backend; scanimage, SANE's own
// frontend, scanning the same device is the reference picture.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include <gtest/gtest.h>

#include "formats/FormatsTestSupport.h"
#include "formats/Scanner.h"
#include "platform/Errors.h"
#include "support/SaneTestBackend.h"

namespace animora {
namespace {

using test::ConfigureSaneTestBackend;
using test::TestDeviceConf;

// The test device's 80 x 100 mm area at 40 dpi.
constexpr int kDpi = 40, kWidth = 125, kHeight = 157;

// scanimage's PNM (P4 line art, 1 = black; P5 gray, P6 colour; 16-bit
// samples big-endian) as a 24-bit bitmap.
TBitmap ScanimagePicture(int dpi)
{
    const auto file = std::filesystem::temp_directory_path() / ("animora-scanimage-" + std::to_string(getpid()));
    EXPECT_EQ(test::RunShell("scanimage -d test:0 --format=pnm --resolution " + std::to_string(dpi) + " > " +
                             file.string() + " 2>/dev/null"),
              0);
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 1;
    in >> magic;
    auto number = [&in](int& value) {
        while ((in >> std::ws).peek() == '#')
            in.ignore(1 << 20, '\n');
        in >> value;
    };
    number(width);
    number(height);
    if (magic != "P4")
        number(maximum);
    in.get();
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(file);
    const int channels = magic == "P6" ? 3 : 1, bytes = maximum > 255 ? 2 : 1;
    TBitmap picture(width, height);
    for (int y = 0; y < height && !data.empty(); ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                uint8_t value;
                if (magic == "P4")
                    value = (data.at(y * ((width + 7) / 8) + x / 8) >> (7 - x % 8)) & 1 ? 0 : 255;
                else
                    value = data.at((size_t(y * width + x) * channels + (channels == 3 ? c : 0)) * bytes);
                picture.ScanLine(y)[x * 3 + 2 - c] = value;
            }
    return picture;
}

TEST(Scanner, ListsTheDevicesSaneConfigures)
{
    const struct {
        const char* dll;
        std::string conf;
        std::vector<std::string> names;
    } cases[] = {
        {"test\n", TestDeviceConf(), {"test:0"}},
        {"test\n", TestDeviceConf("number_of_devices 2\n"), {"test:0", "test:1"}},
        {"", TestDeviceConf(), {}},
    };
    for (const auto& c : cases) {
        ConfigureSaneTestBackend(c.dll, c.conf);
        TScannerSession session;
        std::vector<std::string> names;
        for (const ScannerDevice& device : session.Devices()) {
            names.push_back(device.name);
            EXPECT_NE(device.description.find("frontend-tester"), std::string::npos) << device.description;
        }
        EXPECT_EQ(names, c.names);
    }
}

TEST(Scanner, OffersTheUsualResolutionsInTheDevicesRange)
{
    ConfigureSaneTestBackend("test\n", TestDeviceConf());
    TScannerSession session;
    const ScanResolutions resolutions = session.Resolutions("test:0");
    EXPECT_EQ(resolutions.offered, (std::vector<int>{1, 50, 75, 100, 150, 200, 300, 400, 600, 1200}));
    EXPECT_EQ(resolutions.current, 50);
    EXPECT_TRUE(session.Resolutions("test:9").offered.empty());
}

TEST(Scanner, ReadsEveryFrameKindAsScanimageDoes)
{
    const struct {
        const char* name;
        const char* settings;
    } cases[] = {
        {"gray", "mode Gray\n"},
        {"gray 16 bits", "mode Gray\ndepth 16\n"},
        {"line art", "mode Gray\ndepth 1\n"},
        {"colour", ""},
        {"colour 16 bits", "depth 16\n"},
        {"three passes", "three-pass true\nthree-pass-order GBR\n"},
        {"odd reads", "read-limit true\nread-limit-size 7\n"},
        {"hand scanner", "hand-scanner true\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConfigureSaneTestBackend("test\n", TestDeviceConf(c.settings));
        std::optional<TBitmap> scanned;
        std::vector<int> percents;
        {
            TScannerSession session;
            scanned = session.Scan("test:0", kDpi, [&](int percent) { percents.push_back(percent); return true; });
        }
        ASSERT_TRUE(scanned);
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_EQ(percents.back(), 100);
        if (std::string(c.name) != "hand scanner") {
            EXPECT_EQ(std::make_pair(scanned->Width(), scanned->Height()), std::make_pair(kWidth, kHeight));
        }
        EXPECT_TRUE(scanned->SamePicture(ScanimagePicture(kDpi)));
    }
}

TEST(Scanner, CancelledScanGivesNothingAndFreesTheDevice)
{
    ConfigureSaneTestBackend("test\n", TestDeviceConf("read-limit true\nread-limit-size 1000\n"));
    TScannerSession session;
    int calls = 0;
    EXPECT_FALSE(session.Scan("test:0", kDpi, [&](int percent) { ++calls; return percent < 30; }));
    EXPECT_GT(calls, 2);
    EXPECT_TRUE(session.Scan("test:0", kDpi, nullptr));
}

TEST(Scanner, FailuresCarrySanesText)
{
    ConfigureSaneTestBackend("test\n", TestDeviceConf("read-status-code SANE_STATUS_JAMMED\n"));
    TScannerSession session;
    EXPECT_THROW(TScannerSession(), EAnimoraError);
    try {
        (void)session.Scan("test:0", kDpi, nullptr);
        ADD_FAILURE() << "a jammed scanner scanned";
    } catch (const EStreamError& error) {
        EXPECT_NE(std::string(error.what()).find("jammed"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace animora
