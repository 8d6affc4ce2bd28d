// animora-cli convert-picture over every test picture, to BMP and to JPEG,
// each result checked by ImageMagick.
#include <gtest/gtest.h>

#include <filesystem>

#include "FormatsTestSupport.h"
#include "support/TestData.h"

using namespace animora::test;

namespace {

std::string Cli() { return ANIMORA_CLI_PATH; }

TEST(ConvertPicture, EveryTestPictureBecomesBmpAndJpeg)
{
    const auto dir = MakeTempDir("animora-convert");
    std::vector<std::filesystem::path> inputs;
    for (const char* ext : {".bmp", ".jpeg", ".ico"})
        for (const auto& path : FilesIn("pictures", ext))
            inputs.push_back(path);
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::string size = "$(identify -format '%w %h' " + input.string() + "[0])";
        for (const char* options : {".bmp", ".jpg --quality 40", ".jpeg --grayscale --smoothing 20"}) {
            const std::string optionText = options;
            const std::string ext = optionText.substr(0, optionText.find(' '));
            const std::string output = (dir / (input.filename().string() + ext)).string();
            const std::string rest = optionText.substr(ext.size());
            ASSERT_EQ(RunShell(Cli() + " convert-picture " + input.string() + " " + output + rest + " 2>/dev/null"), 0);
            EXPECT_EQ(RunShell("test \"$(identify -format '%w %h' " + output + ")\" = \"" + size + "\""), 0) << output;
        }
    }
    std::filesystem::remove_all(dir);
}

TEST(ConvertPicture, WrongUsageAndBadFiles)
{
    const auto dir = MakeTempDir("animora-convert-bad");
    const std::string bmp = (TestDataDir() / "pictures" / "hat.bmp").string();
    const std::string out = (dir / "out.jpg").string();
    const std::pair<std::string, int> cases[] = {
        {bmp + " " + (dir / "out.png").string(), 2},
        {bmp + " " + out + " --quality 101", 2},
        {bmp, 2},
        {(dir / "missing.bmp").string() + " " + out, 1},
        {FilesIn("corpus", ".gif").front().string() + " " + out, 1},  // the GIF codec's convert
        {(TestDataDir() / "pictures" / "peacock.default.truncated.jpeg").string() + " " + out + " --quality x", 2},
    };
    for (const auto& [args, status] : cases)
        EXPECT_EQ(RunShell(Cli() + " convert-picture " + args + " 2>/dev/null"), status) << args;
    EXPECT_FALSE(std::filesystem::exists(out));
    std::filesystem::remove_all(dir);
}

} // namespace
