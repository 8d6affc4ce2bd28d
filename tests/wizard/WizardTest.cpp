// The GIF wizard's builder, checked on the GIF it writes, read back through
// the engine: sizes, delays, the loop, where the text lands for each effect,
// the refusals, and animora-cli wizard giving the same bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include <unistd.h>

#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"
#include "support/LeakSuppressions.h"
#include "wizard/Wizard.h"

namespace animora::wizard {
namespace {

namespace fs = std::filesystem;

// The built GIF written and read back, as a user would open it.
struct Built {
    std::vector<uint8_t> bytes;
    std::unique_ptr<TGIFImage> image = std::make_unique<TGIFImage>();
};

Built BuildAndReload(const TWizardChoices& choices)
{
    TGIFImage image;
    Build(choices, image);
    TMemoryStream stream;
    image.SaveToStream(stream);
    Built built;
    built.bytes = stream.Bytes();
    TBytesViewStream view(built.bytes.data(), built.bytes.size());
    built.image->LoadFromStream(view);
    return built;
}

std::vector<TColor> Pixels(const TGIFImage& image, int frame)
{
    const TBitmap& bitmap = *image.Images().SubImage(frame)->RenderedBitmap();
    std::vector<TColor> pixels;
    TBitmap rgb = bitmap;
    rgb.SetPixelFormat(PixelFormat::pf24bit);
    for (int y = 0; y < rgb.Height(); ++y)
        for (int x = 0; x < rgb.Width(); ++x) {
            const uint8_t* p = rgb.ScanLine(y) + x * 3;
            pixels.push_back(MakeColor(p[2], p[1], p[0]));
        }
    return pixels;
}

// Two colours that a viewer tells apart: writing a picture into a frame
// reduces its colours again, which may move a flat colour by a step or two.
bool Apart(TColor a, TColor b)
{
    const auto far = [](int x, int y) { return std::abs(x - y) > 16; };
    return far(ColorRed(a), ColorRed(b)) || far(ColorGreen(a), ColorGreen(b)) || far(ColorBlue(a), ColorBlue(b));
}

// Rows where two pictures of one size differ.
std::vector<int> DifferingRows(const std::vector<TColor>& a, const std::vector<TColor>& b, int width)
{
    std::vector<int> rows;
    for (size_t i = 0; i < a.size(); ++i)
        if (Apart(a[i], b[i]) && (rows.empty() || rows.back() != int(i) / width))
            rows.push_back(int(i) / width);
    return rows;
}

bool Alike(const std::vector<TColor>& a, const std::vector<TColor>& b)
{
    return a.size() == b.size() && DifferingRows(a, b, 1).empty();
}

class WizardTest : public testing::Test {
protected:
    // A 320 x 200 picture in four flat colours, one per quadrant.
    std::string Background()
    {
        TBitmap picture(320, 200, PixelFormat::pf24bit);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                uint8_t* p = picture.ScanLine(y) + x * 3;
                p[0] = x < 160 ? 200 : 20;
                p[1] = y < 100 ? 40 : 180;
                p[2] = 90;
            }
        const fs::path path = dir / "back.bmp";
        picture.SaveToFile(path.string());
        return path.string();
    }
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("animora-wizard-" + std::to_string(::getpid()) + "-" +
                                           testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_F(WizardTest, PlainFramesGetTheSizeAndTheRoundedDelay)
{
    TWizardChoices choices;  // no background, 150 x 100, N = 10, 100 ms
    const Built built = BuildAndReload(choices);
    ASSERT_EQ(built.image->Images().Count(), 10);
    for (int i = 0; i < 10; ++i) {
        const TGIFSubImage& frame = *built.image->Images().SubImage(i);
        EXPECT_EQ(frame.Width(), 150);
        EXPECT_EQ(frame.Height(), 100);
        ASSERT_NE(frame.GraphicControl(), nullptr);
        EXPECT_EQ(frame.GraphicControl()->Delay(), 10);
        EXPECT_EQ(frame.Extensions().Count(), 1);  // no loop without Loop
    }
    // Halves go to the even neighbour.
    EXPECT_EQ(DelayHundredths(105), 10);
    EXPECT_EQ(DelayHundredths(115), 12);
    EXPECT_EQ(DelayHundredths(4), 0);
    EXPECT_EQ(DelayHundredths(10000000), 65535);
}

TEST_F(WizardTest, LoopPutsAnEndlessNetscapeLoopBeforeTheFirstDelay)
{
    TWizardChoices choices;
    choices.frameCount = 3;
    choices.loop = true;
    const Built built = BuildAndReload(choices);
    const TGIFExtensionList& extensions = built.image->Images().SubImage(0)->Extensions();
    ASSERT_EQ(extensions.Count(), 2);
    const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extensions.Extension(0));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops(), 0);
    EXPECT_NE(dynamic_cast<const TGIFGraphicControlExtension*>(extensions.Extension(1)), nullptr);
    EXPECT_EQ(built.image->Images().SubImage(1)->Extensions().Count(), 1);
}

TEST_F(WizardTest, BackgroundGivesItsSizeOrIsCutToTheSizeBoxes)
{
    TWizardChoices choices;
    choices.background = Background();
    choices.frameCount = 2;
    choices.width = 150;
    choices.height = 100;
    const Built own = BuildAndReload(choices);
    EXPECT_EQ(own.image->Images().SubImage(1)->Width(), 320);
    EXPECT_EQ(own.image->Images().SubImage(1)->Height(), 200);

    choices.useBackgroundSize = false;
    const Built cut = BuildAndReload(choices);
    const TGIFSubImage& frame = *cut.image->Images().SubImage(1);
    ASSERT_EQ(frame.Width(), 150);
    ASSERT_EQ(frame.Height(), 100);
    // The background's top-left quadrant fills the 150 x 100 frame (the quadrant is 160 x 100).
    for (TColor pixel : Pixels(*cut.image, 1))
        ASSERT_EQ(pixel, MakeColor(90, 40, 200));
}

TEST_F(WizardTest, NoneDrawsTheTextOnEveryFrameAndNothingWithoutText)
{
    TWizardChoices choices;
    choices.background = Background();
    choices.frameCount = 3;
    const Built plain = BuildAndReload(choices);
    const std::vector<TColor> background = Pixels(*plain.image, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Pixels(*plain.image, i), background) << "frame " << i;

    choices.text = "Hello";
    choices.color = MakeColor(255, 255, 255);
    choices.left = 20;
    choices.top = 30;
    const Built text = BuildAndReload(choices);
    const std::vector<int> rows = DifferingRows(Pixels(*text.image, 0), background, 320);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 30);  // the text's top edge is at Top
    EXPECT_LT(rows.back(), 60);
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(Pixels(*text.image, i), Pixels(*text.image, 0)) << "frame " << i;  // copies, exactly
}

// Fall wall with Full round and N = 10: the wall of frame 4 falls in over
// frames 0 to 3 from the top, then the wall of frame 9 comes up over frames
// 5 to 8 from the bottom.
TEST_F(WizardTest, FullRoundRunsTwiceFromOppositeSides)
{
    TWizardChoices choices;
    choices.width = 120;
    choices.height = 100;
    choices.text = "WALL";
    choices.top = 45;
    choices.font.pointSize = 14;
    choices.effect = weFallWall;
    choices.fullRound = true;
    choices.fallWall.mode = effects::fmUnfold;
    const Built built = BuildAndReload(choices);
    ASSERT_EQ(built.image->Images().Count(), 10);
    const std::vector<TColor> white(120 * 100, MakeColor(255, 255, 255));
    const std::vector<TColor> wall = Pixels(*built.image, 4);
    EXPECT_FALSE(Alike(wall, white));
    EXPECT_EQ(Pixels(*built.image, 9), wall);
    for (int k = 0; k < 4; ++k) {
        // First run: rows 0 to k x (100 div 5) - 1 come from the wall.
        for (int row : DifferingRows(Pixels(*built.image, k), white, 120))
            EXPECT_LT(row, k * 20) << "frame " << k;
        // Second run: the bottom k x (100 div 4) rows.
        for (int row : DifferingRows(Pixels(*built.image, 5 + k), white, 120))
            EXPECT_GE(row, 100 - k * 25) << "frame " << 5 + k;
    }
    EXPECT_FALSE(DifferingRows(Pixels(*built.image, 3), white, 120).empty());
    EXPECT_FALSE(DifferingRows(Pixels(*built.image, 8), white, 120).empty());

    TWizardBuilder builder(choices);
    EXPECT_EQ(builder.FinalDirection(), effects::fdDownToUp);
}

// Move apart and lines take the text away: it is on frame 0 only, the last
// frame is the plain background, and the frames between show part of it
// (move apart copies frame 0 to them first when asked; lines always cut frame 0).
class TakeAwayTest : public WizardTest, public testing::WithParamInterface<TWizardEffect> {};

TEST_P(TakeAwayTest, TextStartsOnFrameZeroAndIsGoneAtTheEnd)
{
    TWizardChoices choices;
    choices.background = Background();
    choices.frameCount = 4;
    choices.text = "Away";
    choices.font.pointSize = 28;
    choices.top = 60;
    choices.color = MakeColor(255, 255, 0);
    choices.effect = GetParam();
    choices.moveApart.copyFrame = true;
    const Built built = BuildAndReload(choices);
    TWizardChoices plainChoices = choices;
    plainChoices.text.clear();
    plainChoices.effect = weNone;
    const std::vector<TColor> plain = Pixels(*BuildAndReload(plainChoices).image, 0);
    const std::vector<TColor> first = Pixels(*built.image, 0);
    EXPECT_FALSE(Alike(first, plain));
    EXPECT_TRUE(Alike(Pixels(*built.image, 3), plain));
    const std::vector<TColor> middle = Pixels(*built.image, 2);
    EXPECT_FALSE(Alike(middle, plain));
    EXPECT_FALSE(Alike(middle, first));
}

INSTANTIATE_TEST_SUITE_P(Effects, TakeAwayTest, testing::Values(weMoveApart, weLines));

TEST_F(WizardTest, RefusalsComeInTheOrderOfTheChecks)
{
    TWizardChoices choices;
    choices.background = (dir / "missing.jpg").string();
    choices.frameCount = 0;
    EXPECT_EQ(CheckChoices(choices), kBackgroundNotFound);
    choices.background.clear();
    EXPECT_EQ(CheckChoices(choices), kParameterZero);
    choices.frameCount = 10;
    choices.height = 0;
    EXPECT_EQ(CheckChoices(choices), kParameterZero);
    choices.height = 100;
    choices.frameCount = 1;
    EXPECT_EQ(CheckChoices(choices), "");  // a still picture needs no transition
    choices.effect = weRain;
    EXPECT_EQ(CheckChoices(choices), kTooFewFrames);
    choices.effect = weFallWall;
    choices.fullRound = true;
    choices.frameCount = 2;
    EXPECT_EQ(CheckChoices(choices), kTooFewFrames);
    choices.frameCount = 3;  // the first run is its wall alone
    EXPECT_EQ(CheckChoices(choices), "");
    EXPECT_EQ(BuildAndReload(choices).image->Images().Count(), 3);
    choices.effect = weLines;
    choices.lines.lines = 0;
    EXPECT_EQ(CheckChoices(choices), effects::kLinesMessage);
    choices.effect = weNone;
    for (const auto& [n, w, h] : {std::tuple{INT32_MAX, INT32_MAX, INT32_MAX}, {1000000, 1, 1}, {2, 20000, 20000}})
        EXPECT_NE(CheckChoices([&] {
                      TWizardChoices large = choices;
                      large.frameCount = n;
                      large.width = w;
                      large.height = h;
                      return large;
                  }()).find("too much memory"),
                  std::string::npos)
            << n << " frames of " << w << " x " << h;

    TGIFImage image;
    choices.frameCount = 0;
    EXPECT_THROW(Build(choices, image), EWizardError);
}

int RunCli(const std::string& arguments)
{
    return WEXITSTATUS(std::system((std::string(ANIMORA_CLI_PATH) + " wizard " + arguments).c_str()));
}

TEST_F(WizardTest, TheCommandLineBuildsTheSameBytes)
{
    TWizardChoices choices;
    choices.background = Background();
    choices.useBackgroundSize = false;
    choices.width = 200;
    choices.height = 120;
    choices.frameCount = 5;
    choices.delayMs = 70;
    choices.loop = true;
    choices.text = "Banner";
    choices.font.pointSize = 20;
    choices.font.bold = true;
    choices.color = MakeColor(0x12, 0x34, 0x56);
    choices.left = 10;
    choices.top = 20;
    choices.effect = weRain;
    choices.rain.seed = 42;
    choices.rain.copyFrame = true;
    const Built built = BuildAndReload(choices);

    const fs::path out = dir / "cli.gif";
    ASSERT_EQ(RunCli(out.string() + " --frames 5 --background " + choices.background +
                     " --size 200x120 --delay 70 --loop --text Banner --font-size 20 --bold --color '#123456'"
                     " --left 10 --top 20 --effect rain --seed 42 --copy"),
              0);
    std::ifstream file(out, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, built.bytes);

    EXPECT_EQ(RunCli((dir / "none.gif").string() + " --frames 2 --background " + (dir / "no.bmp").string()), 1);
    EXPECT_FALSE(fs::exists(dir / "none.gif"));
    EXPECT_EQ(RunCli((dir / "x.gif").string() + " --frames 4 --seed 3"), 2);  // rain's option without rain
}

} // namespace
} // namespace animora::wizard
