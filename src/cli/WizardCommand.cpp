// animora-cli wizard OUT.gif --frames N ...: the GIF wizard of the editor as
// a banner maker for scripts. Each option is one of the wizard's fields
// (src/wizard/Wizard.h), with the wizard's defaults where it is not given:
// 150 x 100 white frames without a background, the background's own size
// with one (--size cuts or extends it from its top-left corner, like
// unchecking "Use background params"), 100 ms, no loop, no text, no effect.
// The same choices give the same GIF as the editor's wizard. A refusal
// ("Background file not found.", "One of parameter = 0.", too few frames for
// the effect) goes to standard error with exit status 1 and no file is
// written.
#include <charconv>
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "cli/EffectOptions.h"
#include "gif/GIFImage.h"
#include "wizard/Wizard.h"

namespace animora::cli {
namespace {

using namespace animora::effects;
using namespace animora::wizard;

const char* const kUsage =
    "wizard OUT.gif --frames N [--background PIC] [--size WxH] [--delay MS] [--loop] [--text T] "
    "[--font FAMILY] [--font-size PT] [--bold] [--italic] [--color #RRGGBB] [--left X] [--top Y] "
    "[--effect none|fallwall|rain|moveapart|lines] [--full-round] [--seed N] "
    "[--direction up-down|down-up|left-right|right-left] [--mode unfold|slide|squeeze] "
    "[--horizontal|--vertical] [--increase|--diminish] [--scale] [--lines L] [--no-palette] [--copy|--no-copy]";

struct EffectName {
    const char* name;
    TWizardEffect effect;
    std::vector<std::string> own;  // the options of its page
};
const EffectName kEffects[] = {
    {"none", weNone, {}},
    {"fallwall", weFallWall, {"direction", "mode", "full-round", "no-palette", "copy", "no-copy"}},
    {"rain", weRain, {"seed", "no-palette", "copy", "no-copy"}},
    {"moveapart", weMoveApart,
     {"horizontal", "vertical", "increase", "diminish", "scale", "no-palette", "copy", "no-copy"}},
    {"lines", weLines, {"horizontal", "vertical", "lines", "no-palette", "copy", "no-copy"}},
};
const std::vector<std::string> kPageOptions = {"frames", "background", "size", "delay", "loop", "text", "font",
                                               "font-size", "bold", "italic", "color", "left", "top", "effect"};

bool ParseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    return x != std::string::npos && ParseInt(text.substr(0, x), 0, 1 << 16, width) &&
           ParseInt(text.substr(x + 1), 0, 1 << 16, height);
}

bool ParseColor(const std::string& text, TColor& color)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data() + 1, end, value, 16);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    color = MakeColor(uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value));
    return true;
}

bool ParseEffect(const ParsedArguments& parsed, TWizardChoices& choices)
{
    switch (choices.effect) {
    case weNone:
        return true;
    case weFallWall:
        choices.fullRound = parsed.Has("full-round");
        return ParseFallWallOptions(parsed, choices.fallWall) && ParseEffectChecks(parsed, choices.fallWall);
    case weRain:
        return ParseRainOptions(parsed, choices.rain) && ParseEffectChecks(parsed, choices.rain);
    case weMoveApart:
        return ParseMoveApartOptions(parsed, choices.moveApart) && ParseEffectChecks(parsed, choices.moveApart);
    case weLines:
        return ParseLinesOptions(parsed, choices.lines) && ParseEffectChecks(parsed, choices.lines);
    }
    return false;
}

bool ParsePages(const ParsedArguments& parsed, TWizardChoices& choices)
{
    if (!parsed.Has("frames") || !ParseInt(parsed.Value("frames"), -1000000, 1000000, choices.frameCount))
        return false;
    choices.background = parsed.Value("background");
    if (parsed.Has("size")) {
        choices.useBackgroundSize = false;
        if (!ParseSize(parsed.Value("size"), choices.width, choices.height))
            return false;
    }
    choices.text = parsed.Value("text");
    choices.font.family = parsed.Value("font", choices.font.family);
    choices.font.bold = parsed.Has("bold");
    choices.font.italic = parsed.Has("italic");
    choices.loop = parsed.Has("loop");
    return (!parsed.Has("delay") || ParseInt(parsed.Value("delay"), 0, 655350, choices.delayMs)) &&
           (!parsed.Has("font-size") || ParseInt(parsed.Value("font-size"), 1, 1000, choices.font.pointSize)) &&
           (!parsed.Has("color") || ParseColor(parsed.Value("color"), choices.color)) &&
           (!parsed.Has("left") || ParseInt(parsed.Value("left"), -100000, 100000, choices.left)) &&
           (!parsed.Has("top") || ParseInt(parsed.Value("top"), -100000, 100000, choices.top));
}

int RunWizardCommand(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(
        args,
        {"frames", "background", "size", "delay", "text", "font", "font-size", "color", "left", "top", "effect",
         "seed", "direction", "mode", "lines"},
        {"loop", "bold", "italic", "full-round", "horizontal", "vertical", "increase", "diminish", "scale",
         "no-palette", "copy", "no-copy"});
    if (!parsed.ok || parsed.positional.size() != 1)
        return UsageError(kUsage);
    const std::string effect = parsed.Value("effect", "none");
    const EffectName* chosen = nullptr;
    for (const auto& candidate : kEffects)
        if (effect == candidate.name)
            chosen = &candidate;
    if (!chosen)
        return UsageError(kUsage);
    for (const auto& [name, value] : parsed.options)
        if (!Contains(kPageOptions, name) && !Contains(chosen->own, name)) {
            std::fprintf(stderr, "animora-cli wizard: --%s does not apply to --effect %s\n", name.c_str(),
                         chosen->name);
            return UsageError(kUsage);
        }

    TWizardChoices choices;
    choices.effect = chosen->effect;
    if (!ParsePages(parsed, choices) || !ParseEffect(parsed, choices))
        return UsageError(kUsage);

    const std::string& output = parsed.positional[0];
    TGIFImage image;
    try {
        if (const std::string problem = CheckChoices(choices); !problem.empty()) {
            std::fprintf(stderr, "error: %s\n", problem.c_str());
            return kExitFailed;
        }
        Build(choices, image);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitFailed;
    }
    return SaveGIF(image, output) ? kExitOk : kExitFailed;
}

const CommandRegistration registration("wizard", kUsage, RunWizardCommand);

} // namespace
} // namespace animora::cli
