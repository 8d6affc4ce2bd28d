// Videos in and out through FFmpeg: videos made here by ffmpeg become GIFs
// with the delays their frame rates give, GIFs become videos that ffprobe
// reads with the right count, size and rate, and damaged input, failures and
// a stop half-way leave every file as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "FormatsTestSupport.h"
#include "formats/Video.h"
#include "formats/VideoReader.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;
namespace fs = std::filesystem;

namespace {

std::vector<int> Delays(const TGIFImage& image)
{
    std::vector<int> delays;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFGraphicControlExtension* control = image.Images().SubImage(i)->GraphicControl();
        delays.push_back(control ? control->Delay() : -1);
    }
    return delays;
}

bool LoopsForever(const TGIFSubImage& frame)
{
    const auto* loop = frame.Extensions().Count() > 0
                           ? dynamic_cast<const TGIFAppExtNSLoop*>(frame.Extensions().Extension(0))
                           : nullptr;
    return loop && loop->Loops() == 0;
}

// A frame of one colour (with its delay), or an empty one.
void AddFrame(TGIFImage& image, int width, int height, TColor color, uint16_t delay)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    if (width > 0) {
        TBitmap picture(width, height, PixelFormat::pf24bit);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.SetPixelColor(x, y, (x + y) % 2 ? color : MakeColor(255, 255, 255));
        frame->Assign(picture);
    }
    auto control = std::make_unique<TGIFGraphicControlExtension>(*frame);
    control->SetDelay(delay);
    frame->Extensions().Append(std::move(control));
    image.Add(std::move(frame));
}

class VideoTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe"))
            GTEST_SKIP() << "ffmpeg and ffprobe are needed";
    }
    void SetUp() override { dir_ = MakeTempDir("animora-video"); }
    void TearDown() override { fs::remove_all(dir_); }

    // A 1-second test picture video made by ffmpeg.
    fs::path MakeVideo(const std::string& name, int rate, const std::string& options = "")
    {
        const fs::path path = dir_ / name;
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=" +
                                    std::to_string(rate) + " -t 1 " + options + " '" + path.string() + "'";
        EXPECT_EQ(RunShell(command), 0) << command;
        return path;
    }

    fs::path dir_;
};

struct MadeVideo {
    const char* name;
    int rate;
    const char* options;
    int frames;
    int delay;
};

TEST_F(VideoTest, FramesAndDelaysOfMadeVideos)
{
    const MadeVideo videos[] = {
        {"25.mp4", 25, "", 25, 4},
        {"10.mp4", 10, "", 10, 10},
        {"palette.avi", 25, "-pix_fmt pal8 -c:v rawvideo", 25, 4},
        {"25.webm", 25, "-c:v libvpx-vp9 -deadline realtime", 25, 4},
    };
    for (const MadeVideo& made : videos) {
        SCOPED_TRACE(made.name);
        const fs::path video = MakeVideo(made.name, made.rate, made.options);
        const std::unique_ptr<TGIFImage> image = ImportAvi(video);
        ASSERT_EQ(image->Images().Count(), made.frames);
        EXPECT_EQ(Delays(*image), std::vector<int>(size_t(made.frames), made.delay));
        EXPECT_TRUE(LoopsForever(*image->Images().SubImage(0)));
        EXPECT_EQ(image->GetWidth(), 160);
        EXPECT_EQ(image->GetHeight(), 120);
        // The file written frame by frame is the image written whole.
        const fs::path gif = dir_ / (std::string(made.name) + ".gif");
        ImportAviToFile(video, gif);
        TMemoryStream whole;
        image->SaveToStream(whole);
        const auto streamed = ReadFileBytes(gif);
        size_t at = 0;
        while (at < streamed.size() && at < whole.Bytes().size() && streamed[at] == whole.Bytes()[at])
            ++at;
        EXPECT_EQ(streamed, whole.Bytes()) << "first difference at " << at << " of " << streamed.size() << "/" << whole.Bytes().size();
    }
}

TEST_F(VideoTest, ExportsPlayAtTheGIFsSpeedAndImportBack)
{
    const std::unique_ptr<TGIFImage> image = ImportAvi(MakeVideo("source.mp4", 25));
    for (const char* extension : {"avi", "mp4", "mkv", "mov", "webm", "apng"}) {
        SCOPED_TRACE(extension);
        const fs::path video = dir_ / (std::string("out.") + extension);
        ExportAvi(*image, video.string());
        auto probed = ProbeVideo(video);
        EXPECT_EQ(probed["nb_read_frames"], "25");
        EXPECT_EQ(probed["width"], "160");
        EXPECT_EQ(probed["height"], "120");
        EXPECT_EQ(probed["r_frame_rate"], "25/1");
        EXPECT_EQ(Delays(*ImportAvi(video)), std::vector<int>(25, 4));
    }
    // This FFmpeg cannot decode animated WebP: its frames are counted here.
    const fs::path webp = dir_ / "out.webp";
    ExportAvi(*image, webp.string());
    const std::vector<uint8_t> bytes = ReadFileBytes(webp);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(8, 4), "WEBP");
    size_t frames = 0;
    for (size_t at = text.find("ANMF"); at != std::string::npos; at = text.find("ANMF", at + 4))
        ++frames;
    EXPECT_EQ(frames, 25u);
}

TEST_F(VideoTest, EmptyFramesAndOtherSizes)
{
    struct Case {
        const char* name;
        int middleWidth, middleHeight;  // 0: an empty frame
        const char* frames;             // frames ffprobe decodes
        TColor secondAt31x20;           // the second video frame shows the GIF as played
    };
    const TColor red = MakeColor(255, 0, 0), green = MakeColor(0, 255, 0), blue = MakeColor(0, 0, 255);
    for (const Case& c : {Case{"empty", 0, 0, "2", blue}, Case{"smaller", 20, 10, "3", red},
                          Case{"larger", 64, 48, "3", green}}) {
        SCOPED_TRACE(c.name);
        TGIFImage image;
        AddFrame(image, 40, 30, red, 10);
        AddFrame(image, c.middleWidth, c.middleHeight, green, 20);
        AddFrame(image, 40, 30, blue, 10);
        const fs::path avi = dir_ / (std::string(c.name) + ".avi");
        ExportAvi(image, avi.string());
        auto probed = ProbeVideo(avi);
        EXPECT_EQ(probed["width"], "40");
        EXPECT_EQ(probed["height"], "30");
        EXPECT_EQ(probed["r_frame_rate"], "10/1");  // an AVI has one rate: frame 0's delay
        EXPECT_EQ(probed["nb_frames"], "3");  // the empty one keeps its place
        EXPECT_EQ(probed["nb_read_frames"], c.frames);
        const std::unique_ptr<TGIFImage> back = ImportAvi(avi);
        ASSERT_EQ(back->Images().Count(), std::stoi(c.frames));
        EXPECT_EQ(back->Images().SubImage(1)->RenderedBitmap()->PixelColor(31, 20), c.secondAt31x20);
        // A timed container keeps every frame's delay, and gives an empty
        // frame's time to the frame before.
        const fs::path mp4 = dir_ / (std::string(c.name) + ".mp4");
        ExportAvi(image, mp4.string());
        probed = ProbeVideo(mp4);
        EXPECT_EQ(probed["nb_read_frames"], c.frames);
        EXPECT_EQ(probed["duration"], "0.400000");
    }
}

TEST_F(VideoTest, DamagedVideosGiveTheirErrorAndWriteNothing)
{
    const fs::path mp4 = MakeVideo("good.mp4", 25);
    const fs::path avi = MakeVideo("good.avi", 25);
    const std::vector<uint8_t> mp4Bytes = ReadFileBytes(mp4), aviBytes = ReadFileBytes(avi);
    auto cut = [](std::vector<uint8_t> bytes) { bytes.resize(bytes.size() / 2); return bytes; };
    auto damage = [](std::vector<uint8_t> bytes) {
        for (size_t i = bytes.size() / 4; i < bytes.size(); i += 97)
            bytes[i] ^= 0x5A;
        return bytes;
    };
    // Where the damage lands depends on the encoder's layout: the codec's own
    // header (the decoder cannot start) or a frame's data.
    const std::set<std::string> decodeFailures = {"Failed to start AVI decompression", "Failed to decompress AVI frame"};
    const std::set<std::string> openFailure = {"Failed to open AVI file"};
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const std::set<std::string>& messages;
    } cases[] = {
        {"truncated.mp4", cut(mp4Bytes), openFailure},
        {"damaged.mp4", damage(mp4Bytes), decodeFailures},
        {"truncated.avi", cut(aviBytes), decodeFailures},
        {"damaged.avi", damage(aviBytes), decodeFailures},
        {"text.avi", {'n', 'o', ' ', 'v', 'i', 'd', 'e', 'o'}, openFailure},
    };
    const fs::path gif = dir_ / "kept.gif";
    TMemoryStream({'o', 'l', 'd'}).SaveToFile(gif.string());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path video = dir_ / c.name;
        TMemoryStream(c.bytes).SaveToFile(video.string());
        EXPECT_THROW(
            try { ImportAvi(video); } catch (const EVideoError& error) {
                EXPECT_TRUE(c.messages.contains(error.what())) << error.what();
                throw;
            },
            EVideoError);
        EXPECT_THROW(ImportAviToFile(video, gif), EVideoError);
        EXPECT_EQ(ReadFileText(gif), "old");
    }
    EXPECT_THROW(ImportAvi(dir_ / "missing.avi"), EVideoError);
}

TEST_F(VideoTest, VideosPastTheLimitsAreRefused)
{
    const fs::path video = MakeVideo("source.mp4", 25);
    TVideoLimits fewFrames, smallFrames;
    fewFrames.maxFrames = 5;
    smallFrames.maxFramePixels = 160 * 119;
    for (const auto& [limits, message] : {std::pair{fewFrames, "Video too long: more than 5 frames"},
                                          std::pair{smallFrames, "Video frame too large: 160 x 120 pixels"}}) {
        try {
            TFileStream file(video.string(), FileMode::OpenRead);
            TVideoReader reader(file, limits);
            TBitmap picture;
            while (reader.ReadFrame(picture)) {
            }
            ADD_FAILURE() << "no error for " << message;
        } catch (const EVideoError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

TEST_F(VideoTest, StoppingHalfWayOrFailingWritesNothing)
{
    const fs::path video = MakeVideo("source.mp4", 25);
    const std::unique_ptr<TGIFImage> image = ImportAvi(video);
    auto stopAtHalf = [](TProgressStage stage, int percent, const std::string&) {
        if (stage == TProgressStage::psRunning && percent >= 50)
            throw EAbort();
    };
    const fs::path gif = dir_ / "kept.gif", avi = dir_ / "kept.avi", fresh = dir_ / "fresh.mp4";
    TMemoryStream({'o', 'l', 'd'}).SaveToFile(gif.string());
    TMemoryStream({'o', 'l', 'd'}).SaveToFile(avi.string());
    EXPECT_THROW(ImportAvi(video, stopAtHalf), EAbort);
    EXPECT_THROW(ImportAviToFile(video, gif, stopAtHalf), EAbort);
    EXPECT_THROW(ExportAvi(*image, avi.string(), stopAtHalf), EAbort);
    EXPECT_THROW(ExportAvi(*image, fresh.string(), stopAtHalf), EAbort);
    TGIFImage empty;
    EXPECT_THROW(ExportAvi(empty, avi.string()), EVideoError);  // "Failed to retrieve bitmap info"
    EXPECT_THROW(ExportAvi(*image, (dir_ / "out.xyz").string()), EVideoError);
    EXPECT_EQ(ReadFileText(gif), "old");
    EXPECT_EQ(ReadFileText(avi), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);  // no leftovers
    EXPECT_EQ(image->Images().Count(), 25);
}

TEST_F(VideoTest, CommandLineConvertsVideosBothWays)
{
    const fs::path video = MakeVideo("source.mp4", 10);
    const std::string cli = ANIMORA_CLI_PATH;
    const fs::path gif = dir_ / "out.gif", webm = dir_ / "out.webm", avi = dir_ / "again.avi";
    ASSERT_EQ(RunShell(cli + " convert '" + video.string() + "' '" + gif.string() + "'"), 0);
    ASSERT_EQ(RunShell(cli + " convert '" + gif.string() + "' '" + webm.string() + "'"), 0);
    ASSERT_EQ(RunShell(cli + " convert '" + webm.string() + "' '" + avi.string() + "'"), 0);
    EXPECT_EQ(ProbeVideo(avi)["nb_read_frames"], "10");
    EXPECT_EQ(ProbeVideo(avi)["r_frame_rate"], "10/1");
    EXPECT_EQ(RunShell(cli + " convert '" + (dir_ / "missing.mp4").string() + "' '" + gif.string() + "' 2>/dev/null"),
              1);
}

} // namespace
