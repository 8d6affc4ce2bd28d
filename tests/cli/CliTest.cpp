// animora-cli info, convert and optimize, run as a user runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/SubImage.h"
#include "platform/Bitmap.h"
#include "support/TestData.h"

namespace animora {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::string& arguments, const std::filesystem::path& dir)
{
    const auto out = dir / "stdout.txt";
    const auto err = dir / "stderr.txt";
    const std::string command = std::string(ANIMORA_CLI_PATH) + " " + arguments + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), test::ReadFileText(out), test::ReadFileText(err)};
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test::MakeTempDir("animora-cli"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const auto path = dir_ / name;
        TMemoryStream(bytes).SaveToFile(path.string());
        return path.string();
    }

    std::filesystem::path dir_;
};

// Two frames: the first with a looping block, a graphic control block and a
// comment; then a frame of only an unknown application block.
std::vector<uint8_t> SampleGIF()
{
    test::GifBytes gif;
    gif.Header(2, 1, 0x80).Bytes({0, 0, 0, 255, 255, 255});
    gif.Bytes({0x21, 0xFF, 11}).Text("NETSCAPE2.0").Bytes({3, 1, 2, 0, 0});
    gif.Bytes({0x21, 0xF9, 4, 0x09, 10, 0, 1, 0});
    gif.Bytes({0x21, 0xFE, 2}).Text("hi").Bytes({0});
    gif.Descriptor(1, 1, 0x40).Bytes({0x02, 0x02, 0x44, 0x01, 0x00});
    gif.Bytes({0x21, 0xFF, 11}).Text("SOMEAPP1.00").Bytes({2, 1, 2, 1, 3, 0});
    gif.Bytes({0x3B});
    return gif.Data();
}

TEST_F(CliTest, InfoPrintsTheTreeAsJSON)
{
    const CliRun run = RunCli("info " + Write("sample.gif", SampleGIF()) + " --json", dir_);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "{\"signature\": \"GIF89a\", \"width\": 2, \"height\": 1, \"background_index\": 0, \"aspect\": 0, "
              "\"global_colors\": 2, \"global_sorted\": false, \"loop_count\": 2, \"comments\": [\"hi\"], "
              "\"frames\": [{\"left\": 0, \"top\": 0, \"width\": 1, \"height\": 1, \"interlaced\": true, "
              "\"local_colors\": 0, \"empty\": false, \"extensions\": ["
              "{\"kind\": \"loop\", \"identifier\": \"NETSCAPE2.0\", \"loops\": 2, \"buffer_size\": 0}, "
              "{\"kind\": \"graphic-control\", \"delay\": 10, \"disposal\": 2, \"transparent\": true, "
              "\"transparent_index\": 1, \"user_input\": false}, "
              "{\"kind\": \"comment\", \"lines\": [\"hi\"]}]}, "
              "{\"left\": 0, \"top\": 0, \"width\": 0, \"height\": 0, \"interlaced\": false, \"local_colors\": 0, "
              "\"empty\": true, \"extensions\": [{\"kind\": \"application\", \"identifier\": \"SOMEAPP1.00\", "
              "\"blocks\": [2, 1]}]}]}\n");
}

TEST_F(CliTest, ExitStatusAndMessages)
{
    const std::string sample = Write("sample.gif", SampleGIF());
    test::GifBytes warned;
    warned.Header(1, 1, 0x80).Bytes({0, 0, 0, 255, 255, 255});
    warned.Descriptor(1, 1).Bytes({0x02, 0x02, 0x44, 0x01, 0x00}).Bytes({0x99, 0x3B});  // 0x99: no block type
    const std::string damaged = Write("damaged.gif", warned.Data());
    const struct {
        std::string arguments;
        int status;
        std::string errStart;
    } cases[] = {
        {"info", 2, "usage: animora-cli info"},
        {"info " + sample + " --yaml", 2, "usage: animora-cli info"},
        {"info " + (dir_ / "missing.gif").string(), 1, "error: "},
        {"info " + damaged, 0, "warning: Unknown GIF block type\nwarning: Invalid Image trailer\n"},
        {"convert " + sample, 2, "usage: animora-cli convert"},
        {"convert " + sample + " out.gif --encoding zip", 2, "usage: animora-cli convert"},
        {"convert " + sample + " " + (dir_ / "no" / "such" / "dir.gif").string(), 1, "error: "},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments, dir_);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart) << c.arguments;
    }
}

TEST_F(CliTest, ConvertWritesWithEitherEncoder)
{
    const std::string sample = Write("sample.gif", SampleGIF());
    TGIFImage original;
    original.LoadFromFile(sample);
    for (const char* encoding : {"lzw", "rle"}) {
        const std::string out = (dir_ / (std::string(encoding) + ".gif")).string();
        const CliRun run = RunCli("convert " + sample + " " + out + " --encoding " + encoding, dir_);
        ASSERT_EQ(run.status, 0) << run.err;
        TGIFImage converted;
        converted.LoadFromFile(out);
        original.SetEncoding(std::string(encoding) == "rle" ? kEncodingRLE : kEncodingLZW);
        EXPECT_EQ(test::SaveBytes(converted), test::SaveBytes(original)) << encoding;
    }
}

TEST_F(CliTest, ConvertTurnsBitmapsIntoGIFsAndBack)
{
    // A 3 x 2 picture of four colours: any mode keeps it within its map, and
    // without reduction (mode 0) the GIF holds the colours exactly.
    TBitmap picture(3, 2, PixelFormat::pf24bit);
    const TColor colors[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x336699};
    for (int i = 0; i < 6; ++i)
        picture.SetPixelColor(i % 3, i / 3, colors[i % 4]);
    const std::string bmp = (dir_ / "in.bmp").string();
    picture.SaveToFile(bmp);
    const std::string gif = (dir_ / "out.gif").string();
    const std::string back = (dir_ / "back.bmp").string();

    CliRun run = RunCli("convert " + bmp + " " + gif + " --mode 0", dir_);
    ASSERT_EQ(run.status, 0) << run.err;
    TGIFImage image;
    image.LoadFromFile(gif);
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Images().SubImage(0)->ColorMap().Count(), 4);

    run = RunCli("convert " + gif + " " + back, dir_);
    ASSERT_EQ(run.status, 0) << run.err;
    TBitmap result;
    result.LoadFromFile(back);
    ASSERT_EQ(result.Width(), 3);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(result.PixelColor(i % 3, i / 3), colors[i % 4]) << i;

    for (const char* options : {"--mode 7 --bits 3 --dither 1", "--mode 6", "--mode 4 --dither 6"}) {
        run = RunCli("convert " + bmp + " " + gif + " " + options, dir_);
        EXPECT_EQ(run.status, 0) << options << run.err;
    }
    for (const char* options : {"--mode 9", "--bits 2", "--dither 7"}) {
        run = RunCli("convert " + bmp + " " + gif + " " + options, dir_);
        EXPECT_EQ(run.status, 2) << options;
    }
}

TEST_F(CliTest, OptimizeRunsTheChosenStepsAndPrintsTheSizes)
{
    const std::string sample = Write("sample.gif", SampleGIF());
    const std::string out = (dir_ / "out.gif").string();
    const struct {
        std::string options;
        int status;
        int firstFrameExtensions;  // of looping, graphic control, comment
        int globalColors;
    } cases[] = {
        // The clean-up drops the empty last frame first; the lone frame left
        // then needs neither looping nor its graphic control (its transparent
        // index is never shown). Maps are written padded to two entries.
        {"", 0, 0, 2},
        {"--crop", 0, 3, 2},
        {"--cleanup --encoding rle", 0, 0, 2},
        {"--merge-maps --crop", 0, 3, 2},
        {"--encoding zip", 2, -1, -1},
        {"--shrink", 2, -1, -1},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(out);
        const CliRun run = RunCli("optimize " + sample + " " + out + " " + c.options, dir_);
        ASSERT_EQ(run.status, c.status) << c.options << ": " << run.err;
        if (c.status != 0) {
            EXPECT_EQ(run.err.substr(0, 27), "usage: animora-cli optimize") << c.options;
            continue;
        }
        EXPECT_NE(run.out.find("bytes before"), std::string::npos) << c.options;
        TGIFImage optimized;
        optimized.LoadFromFile(out);
        EXPECT_EQ(optimized.Images().SubImage(0)->Extensions().Count(), c.firstFrameExtensions) << c.options;
        EXPECT_EQ(optimized.Header().ColorMap().Count(), c.globalColors) << c.options;
    }
}

// Two frames of 256 colours each, 512 in all: merging the maps must drop
// half of them and says so; two colours in all merge nothing.
TEST_F(CliTest, MergeMapsSaysWhatItMerged)
{
    TGIFImage image;
    for (int f = 0; f < 2; ++f) {
        auto frame = std::make_unique<TGIFSubImage>(&image);
        frame->SetBounds(0, 0, 16, 16);
        for (int i = 0; i < 256; ++i) {
            frame->ColorMap().AddColor(static_cast<TColor>(i | (f * 128) << 8 | (i * 7 % 256) << 16));
            frame->Data()[i] = static_cast<uint8_t>(i);
        }
        image.Add(std::move(frame));
    }
    image.SaveToFile((dir_ / "many.gif").string());
    const struct {
        std::string input;
        std::string outStart;
    } cases[] = {
        {(dir_ / "many.gif").string(), "merge-maps: 256 colours merged into others, PSNR "},
        {Write("sample.gif", SampleGIF()), "merge-maps: no colour merged, the picture is unchanged"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli("optimize " + c.input + " " + (dir_ / "out.gif").string() + " --merge-maps", dir_);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart) << run.out;
    }
}

TEST_F(CliTest, RefineTakesOnOrOff)
{
    TBitmap picture(8, 8, PixelFormat::pf24bit);
    for (int i = 0; i < 64; ++i)
        picture.SetPixelColor(i % 8, i / 8, static_cast<TColor>(i * 4 | (255 - i * 4) << 8));
    const std::string bmp = (dir_ / "in.bmp").string();
    picture.SaveToFile(bmp);
    const std::string out = " " + (dir_ / "out").string();
    for (const auto& [arguments, status] : {std::pair{"reduce " + bmp + out + ".bmp --mode 7 --refine off", 0},
                                            {"reduce " + bmp + out + ".bmp --mode 7 --refine on", 0},
                                            {"reduce " + bmp + out + ".bmp --mode 7 --refine yes", 2},
                                            {"convert " + bmp + out + ".gif --mode 8 --refine off", 0},
                                            {"convert " + bmp + out + ".gif --refine 1", 2}})
        EXPECT_EQ(RunCli(arguments, dir_).status, status) << arguments;
}

} // namespace
} // namespace animora
