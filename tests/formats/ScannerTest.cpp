// Scans through libsane with SANE's own test backend; scanimage, SANE's own
// frontend, scanning the same device gives the reference picture.
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <span>

#include <gtest/gtest.h>

#include "formats/FormatsTestSupport.h"
#include "formats/Scanner.h"
#include "platform/Errors.h"
#include "support/SaneTestBackend.h"

namespace animora {
namespace {

using test::ConfigureSaneTestBackend;

// scanimage's PNM (P4 line art with 1 = black, P5 gray, P6 colour; 16-bit
// samples big-endian, so the first byte is the high one) as a 24-bit bitmap.
TBitmap ScanimagePicture(int dpi)
{
    const std::string file = ::testing::TempDir() + "scanimage-" + std::to_string(getpid()) + ".pnm";
    EXPECT_EQ(test::RunShell("scanimage -d test:0 --format=pnm --resolution " + std::to_string(dpi) + " >" + file), 0);
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int size[3] = {0, 0, 1};
    in >> magic;
    for (int& value : std::span(size, magic == "P4" ? 2 : 3)) {
        while ((in >> std::ws).peek() == '#')
            in.ignore(1 << 20, '\n');
        in >> value;
    }
    in.get();
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    const size_t channels = magic == "P6" ? 3 : 1, bytes = size[2] > 255 ? 2 : 1, w = size[0];
    TBitmap picture(size[0], size[1]);
    for (size_t y = 0; y < size_t(size[1]); ++y)
        for (size_t x = 0; x < w; ++x)
            for (size_t c = 0; c < 3; ++c)
                picture.ScanLine(int(y))[x * 3 + 2 - c] =
                    magic == "P4" ? ((data.at(y * ((w + 7) / 8) + x / 8) >> (7 - x % 8)) & 1 ? 0 : 255)
                                  : data.at(((y * w + x) * channels + (channels == 3 ? c : 0)) * bytes);
    return picture;
}

TEST(Scanner, ListsTheDevicesAndTheirResolutions)
{
    for (const auto& [dll, conf, count] : {std::tuple{"test\n", "", 1u}, {"test\n", "number_of_devices 2\n", 2u},
                                           {"", "", 0u}}) {
        ConfigureSaneTestBackend(dll, conf);
        TScannerSession session;
        const std::vector<ScannerDevice> devices = session.Devices();
        ASSERT_EQ(devices.size(), count);
        for (size_t i = 0; i < count; ++i) {
            EXPECT_EQ(devices[i].name, "test:" + std::to_string(i));
            EXPECT_NE(devices[i].description.find("frontend-tester"), std::string::npos) << devices[i].description;
        }
        if (count == 0)
            continue;
        // The device takes 1..1200 dpi; its own setting is test.conf's.
        const ScanResolutions resolutions = session.Resolutions("test:0");
        EXPECT_EQ(resolutions.offered, (std::vector<int>{1, 50, 75, 100, 150, 200, 300, 400, 600, 1200}));
        EXPECT_EQ(resolutions.current, 50);
        EXPECT_TRUE(session.Resolutions("test:9").offered.empty());
    }
}

TEST(Scanner, ReadsEveryFrameKindAsScanimageDoes)
{
    constexpr int kDpi = 40;
    for (const auto& [name, settings] : {std::pair{"colour", ""},
                                         {"gray", "mode Gray\n"},
                                         {"gray 16 bits", "mode Gray\ndepth 16\n"},
                                         {"line art", "mode Gray\ndepth 1\n"},
                                         {"colour 16 bits", "depth 16\n"},
                                         {"three passes", "three-pass true\nthree-pass-order GBR\n"},
                                         {"odd reads", "read-limit true\nread-limit-size 7\n"},
                                         {"padded lines", "ppl-loss 3\n"},
                                         {"hand scanner, height unknown", "hand-scanner true\n"}}) {
        SCOPED_TRACE(name);
        ConfigureSaneTestBackend("test\n", settings);
        std::optional<TBitmap> scanned;
        std::vector<int> percents;
        {
            TScannerSession session;
            scanned = session.Scan("test:0", kDpi, [&](int percent) { return percents.push_back(percent), true; });
        }
        ASSERT_TRUE(scanned);
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_EQ(percents.back(), 100);
        // scanimage keeps the padding of lines; the picture is the unpadded
        // scan's without the pixels the device leaves out at the end.
        const bool padded = settings[0] == 'p';
        if (padded)
            ConfigureSaneTestBackend("test\n", "");
        TBitmap reference = ScanimagePicture(kDpi);
        if (settings[0] != 'h') {  // the area, 80 x 100 mm, at 40 dpi
            EXPECT_EQ(std::pair(reference.Width(), reference.Height()), std::pair(125, 157));
        }
        reference.SetSize(reference.Width() - (padded ? 3 : 0), reference.Height());
        EXPECT_TRUE(scanned->SamePicture(reference));
    }
}

TEST(Scanner, CancelGivesNothingAndFreesTheDeviceAndFailuresCarrySanesText)
{
    ConfigureSaneTestBackend("test\n", "read-limit true\nread-limit-size 1000\n");
    {
        TScannerSession session;
        EXPECT_THROW(TScannerSession(), EAnimoraError);  // one per process
        // Cancelled once all data is read: the test backend's reader thread,
        // cancelled while it runs, can deadlock in its own allocator.
        int calls = 0;
        EXPECT_FALSE(session.Scan("test:0", 40, [&](int percent) { return ++calls, percent < 100; }));
        EXPECT_GT(calls, 2);
        EXPECT_TRUE(session.Scan("test:0", 40, nullptr));
    }
    ConfigureSaneTestBackend("test\n", "read-status-code SANE_STATUS_JAMMED\n");
    TScannerSession session;
    try {
        (void)session.Scan("test:0", 40, nullptr);
        ADD_FAILURE() << "a jammed scanner scanned";
    } catch (const EStreamError& error) {
        EXPECT_NE(std::string(error.what()).find("jammed"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace animora
