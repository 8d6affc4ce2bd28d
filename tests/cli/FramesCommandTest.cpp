// animora-cli frames against the conformance suite's expected frames and
// over the real-world corpus.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "support/TestData.h"

namespace animora {
namespace {

namespace fs = std::filesystem;

struct FramesRun {
    int status;
    std::string out;
};

FramesRun Frames(const fs::path& gif, const fs::path& outDir, const std::string& extra = "")
{
    const fs::path out = outDir.string() + ".txt";
    const std::string command = std::string(ANIMORA_CLI_PATH) + " frames " + gif.string() + " " + outDir.string() +
                                " " + extra + " >" + out.string() + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), test::ReadFileText(out)};
}

struct Pam {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

Pam ReadPam(const fs::path& path)
{
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const size_t end = text.find("ENDHDR\n");
    EXPECT_NE(end, std::string::npos);
    std::istringstream header(text.substr(0, end));
    Pam pam;
    std::string key, value;
    while (header >> key) {
        if (key == "WIDTH")
            header >> pam.width;
        else if (key == "HEIGHT")
            header >> pam.height;
        else if (key == "TUPLTYPE" && header >> value) {
            EXPECT_EQ(value, "RGB_ALPHA");
        }
    }
    pam.rgba.assign(bytes.begin() + static_cast<long>(end + 7), bytes.end());
    return pam;
}

// The [frameN] sections of a suite case: the expected pixel files in order.
std::vector<std::string> ExpectedFrames(const std::string& name)
{
    std::ifstream conf(test::TestDataDir() / "gif-suite" / (name + ".conf"));
    std::vector<std::string> pixels;
    std::string line;
    while (std::getline(conf, line)) {
        if (line.rfind("pixels = ", 0) == 0)
            pixels.push_back(line.substr(9));
    }
    return pixels;
}

// Which of our frames shows each expected frame. We play every image of a
// file as a frame of its own (with the default delay when it has none),
// while the suite merges an image without a delay into the next one: where
// the counts differ, the expected frames are ours at the images with a delay.
std::vector<int> FramesShown(const fs::path& gif, size_t expectedCount)
{
    TGIFImage image;
    image.LoadFromFile(gif.string());
    std::vector<int> shown;
    const int count = image.Images().Count();
    for (int i = 0; i < count; ++i) {
        const TGIFGraphicControlExtension* control = image.Images().SubImage(i)->GraphicControl();
        if (static_cast<size_t>(count) == expectedCount || (control && control->Delay() > 0))
            shown.push_back(i);
    }
    return shown;
}

std::string FrameName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d.pam", index);
    return name;
}

class FramesCommandTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test::MakeTempDir("animora-frames"); }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(FramesCommandTest, AnimatedSuiteCasesMatchTheExpectedFrames)
{
    const char* cases[] = {
        "animation", "animation-no-delays", "animation-zero-delays", "animation-speed",
        "animation-multi-image", "animation-multi-image-explicit-zero-delay", "gif87a-animation",
        "dispose-none", "dispose-keep", "dispose-restore-background", "dispose-restore-previous",
        "transparent", "disabled-transparent", "invalid-transparent", "unset-transparent",
        "loop-once", "loop-infinite", "loop-max", "loop-buffer", "loop-buffer_max", "loop-animexts",
    };
    for (const char* name : cases) {
        SCOPED_TRACE(name);
        const fs::path gif = test::TestDataDir() / "gif-suite" / (std::string(name) + ".gif");
        const std::vector<std::string> expected = ExpectedFrames(name);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(Frames(gif, dir_ / name).status, 0);
        const std::vector<int> shown = FramesShown(gif, expected.size());
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const Pam pam = ReadPam(dir_ / name / FrameName(shown[i]));
            EXPECT_EQ(pam.rgba, test::ReadFileBytes(test::TestDataDir() / "gif-suite" / expected[i])) << "frame " << i;
        }
    }
}

// Disposal 2 restores what was there before the animation when frames are
// drawn with transparency (the suite's transparent pixels, or a backdrop);
// without drTransparent it paints the background colour, opaque, where the
// suite expects transparency.
TEST_F(FramesCommandTest, RestoreToBackgroundFollowsOurRule)
{
    const fs::path gif = test::TestDataDir() / "gif-suite" / "dispose-restore-background.gif";
    const struct {
        const char* name;
        std::string arguments;
        uint32_t restoredPixel;  // RGBA of a restored pixel, big-endian
    } cases[] = {
        {"transparent", "", 0x00000000},
        {"backdrop", "--backdrop '#204060'", 0x204060FF},
        {"opaque", "--options 0x60D", 0x000000FF},  // the header's background colour
        {"opaque-over-backdrop", "--options 60D --backdrop '#204060'", 0x204060FF},  // BackdropColor wins
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = dir_ / c.name;
        ASSERT_EQ(Frames(gif, out, c.arguments).status, 0);
        // Frame 1 is drawn after frame 0 (disposal 2, the top-left pixel) was disposed of.
        const Pam pam = ReadPam(out / FrameName(1));
        ASSERT_EQ(pam.rgba.size(), 16u);
        const uint32_t pixel = uint32_t{pam.rgba[0]} << 24 | pam.rgba[1] << 16 | pam.rgba[2] << 8 | pam.rgba[3];
        EXPECT_EQ(pixel, c.restoredPixel);
    }
}

TEST_F(FramesCommandTest, PrintsEachFrameWithItsPlayedDelay)
{
    const fs::path suite = test::TestDataDir() / "gif-suite";
    const struct {
        const char* file;
        std::string arguments;
        std::string firstLine;
    } cases[] = {
        {"animation.gif", "", "frame-000.pam delay 50 (600 ms)\n"},
        {"animation-zero-delays.gif", "", "frame-000.pam delay 10 (120 ms)\n"},
        {"animation-no-delays.gif", "", "frame-000.pam delay 10 (120 ms)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const FramesRun run = Frames(suite / c.file, dir_ / c.file, c.arguments);
        EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), c.firstLine);
    }
    // Without drAnimate only the first frame is shown.
    const FramesRun still = Frames(suite / "animation.gif", dir_ / "still", "--options 0x603");
    EXPECT_EQ(still.out, "frame-000.pam delay 50 (600 ms)\n");
}

TEST_F(FramesCommandTest, UsageErrors)
{
    const fs::path gif = test::TestDataDir() / "gif-suite" / "animation.gif";
    for (const std::string arguments : {"--backdrop red", "--backdrop '#12345'", "--options 12345", "--options xyz"})
        EXPECT_EQ(Frames(gif, dir_ / "out", arguments).status, 2) << arguments;
    EXPECT_EQ(Frames(dir_ / "missing.gif", dir_ / "out").status, 1);
}

TEST_F(FramesCommandTest, EveryAnimatedCorpusFileBecomesItsFrames)
{
    int animated = 0;
    for (const fs::path& gif : test::FilesIn("corpus", ".gif")) {
        TGIFImage image;
        try {
            image.LoadFromFile(gif.string());
        } catch (const std::exception&) {
            continue;
        }
        if (image.Images().Count() < 2)
            continue;
        ++animated;
        SCOPED_TRACE(gif.filename().string());
        int playable = 0;
        while (playable < image.Images().Count() && !image.Images().SubImage(playable)->IsEmpty())
            ++playable;
        const fs::path out = dir_ / gif.filename();
        const FramesRun run = Frames(gif, out);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), playable);
        const Pam last = ReadPam(out / FrameName(playable - 1));
        EXPECT_EQ(last.width, image.GetWidth());
        EXPECT_EQ(last.height, image.GetHeight());
        EXPECT_EQ(last.rgba.size(), size_t(image.GetWidth()) * image.GetHeight() * 4);
        fs::remove_all(out);
    }
    EXPECT_GT(animated, 0);
}

} // namespace
} // namespace animora
