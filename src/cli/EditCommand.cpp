// animora-cli edit IN.gif OUT.gif [edits...]: whole-animation edits, applied
// in the order given. Frame numbers count from 1, as the editor shows them;
// delays are given in milliseconds and stored in hundredths (rounded). A
// malformed option is a usage error (2); an edit that cannot be made (a
// range that does not exist, a crop outside the screen) fails with 1, and
// no file is written.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "edits/Edits.h"
#include "formats/Picture.h"
#include "gif/GIFImage.h"

namespace animora::cli {
namespace {

using namespace animora::edits;

const char* const kUsage =
    "edit IN.gif OUT.gif [--reverse] [--pingpong] [--delay MS[:FIRST-LAST]] [--speed PERCENT] [--resize WxH] "
    "[--crop X,Y,W,H] [--delete FIRST-LAST] [--move FROM:TO] [--swap A:B] [--insert PICTURE@POS] "
    "[--keep-every N] [--dedupe]";

constexpr int kBig = 1 << 30;

// Splits "a<sep>b" into two whole numbers.
bool ParsePair(const std::string& text, char separator, int low, int& a, int& b)
{
    const size_t at = text.find(separator);
    return at != std::string::npos && ParseInt(text.substr(0, at), low, kBig, a) &&
           ParseInt(text.substr(at + 1), low, kBig, b);
}

// "F-L" or "N", from 1.
bool ParseRange(const std::string& text, TFrameRange& range)
{
    int first = 0, last = 0;
    if (text.find('-') == std::string::npos) {
        if (!ParseInt(text, 1, kBig, first))
            return false;
        last = first;
    } else if (!ParsePair(text, '-', 1, first, last)) {
        return false;
    }
    range = {first - 1, last - 1};
    return true;
}

using Edit = std::function<void(TGIFImage&)>;

bool ParseDelay(const std::string& text, Edit& edit)
{
    const size_t colon = text.find(':');
    int ms = 0;
    if (!ParseInt(text.substr(0, colon), 0, 655350, ms))
        return false;
    const int delay = (ms + 5) / 10;
    if (colon == std::string::npos) {
        edit = [delay](TGIFImage& image) { SetDelay(image, delay); };
        return true;
    }
    TFrameRange range;
    if (!ParseRange(text.substr(colon + 1), range))
        return false;
    edit = [delay, range](TGIFImage& image) { SetDelay(image, delay, range); };
    return true;
}

bool ParseInsert(const std::string& text, Edit& edit)
{
    const size_t at = text.rfind('@');
    int position = 0;
    if (at == std::string::npos || at == 0 || !ParseInt(text.substr(at + 1), 1, kBig, position))
        return false;
    const std::string file = text.substr(0, at);
    edit = [file, position](TGIFImage& image) {
        TPicture picture;
        picture.LoadFromFile(file);
        InsertFrame(image, *picture.Graphic(), position - 1);
    };
    return true;
}

// One option into one edit; false when it is malformed.
bool ParseEdit(const std::string& name, const std::string& value, Edit& edit)
{
    int a = 0, b = 0, c = 0, d = 0;
    TFrameRange range;
    if (name == "reverse")
        edit = Reverse;
    else if (name == "pingpong")
        edit = PingPong;
    else if (name == "dedupe")
        edit = Dedupe;
    else if (name == "delay")
        return ParseDelay(value, edit);
    else if (name == "insert")
        return ParseInsert(value, edit);
    else if (name == "speed" && ParseInt(value, 0, kBig, a))
        edit = [a](TGIFImage& image) { ChangeSpeed(image, a); };
    else if (name == "keep-every" && ParseInt(value, 0, kBig, a))
        edit = [a](TGIFImage& image) { KeepEvery(image, a); };
    else if (name == "resize" && ParsePair(value, 'x', 0, a, b))
        edit = [a, b](TGIFImage& image) { Resize(image, a, b); };
    else if (name == "crop" && std::sscanf(value.c_str(), "%d,%d,%d,%d", &a, &b, &c, &d) == 4 &&
             value.find_first_not_of("0123456789,") == std::string::npos)
        edit = [r = TRect{a, b, a + c, b + d}](TGIFImage& image) { Crop(image, r); };
    else if (name == "delete" && ParseRange(value, range))
        edit = [range](TGIFImage& image) { DeleteRange(image, range); };
    else if (name == "move" && ParsePair(value, ':', 1, a, b))
        edit = [a, b](TGIFImage& image) { MoveFrame(image, a - 1, b - 1); };
    else if (name == "swap" && ParsePair(value, ':', 1, a, b))
        edit = [a, b](TGIFImage& image) { SwapFrames(image, a - 1, b - 1); };
    else
        return false;
    return true;
}

int RunEdit(const Arguments& args)
{
    const ParsedArguments parsed =
        ParseArguments(args, {"delay", "speed", "resize", "crop", "delete", "move", "swap", "insert", "keep-every"},
                       {"reverse", "pingpong", "dedupe"});
    if (!parsed.ok || parsed.positional.size() != 2)
        return UsageError(kUsage);
    std::vector<Edit> edits;
    for (const auto& [name, value] : parsed.options) {
        Edit edit;
        if (!ParseEdit(name, value, edit)) {
            std::fprintf(stderr, "error: --%s %s: malformed\n", name.c_str(), value.c_str());
            return UsageError(kUsage);
        }
        edits.push_back(std::move(edit));
    }
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];
    TGIFImage image;
    if (!LoadGIF(image, input))
        return kExitFailed;
    try {
        for (const Edit& edit : edits)
            edit(image);
        image.SaveToFile(output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitFailed;
    }
    std::printf("%s: %d frames, %d x %d\n", output.c_str(), image.Images().Count(), image.GetWidth(),
                image.GetHeight());
    return kExitOk;
}

const CommandRegistration registration("edit", kUsage, RunEdit);

} // namespace
} // namespace animora::cli
