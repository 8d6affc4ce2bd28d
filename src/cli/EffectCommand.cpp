// animora-cli effect IN.gif OUT.gif --effect fallwall|rain|moveapart|lines:
// one of the four transition effects of the Effect menu on a run of frames,
// with the options of the effect's dialog; unnamed options keep the dialog's
// defaults. A refusal (the range rule, F below 1, C below 2, L below 1) goes
// to standard error with exit status 1 and no file is written.
#include <climits>
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "cli/EffectOptions.h"
#include "effects/Effects.h"
#include "gif/GIFImage.h"

namespace animora::cli {
namespace {

using namespace animora::effects;

const char* const kUsage =
    "effect IN.gif OUT.gif --effect fallwall|rain|moveapart|lines [--first F] [--count C] "
    "[--direction up-down|down-up|left-right|right-left] [--mode unfold|slide|squeeze] "
    "[--horizontal|--vertical] [--increase|--diminish] [--scale] [--lines L] [--no-palette] "
    "[--copy|--no-copy] [--seed N]";

// Which options each effect takes besides the shared ones.
struct EffectOptions {
    const char* name;
    std::vector<std::string> own;
};
const EffectOptions kEffects[] = {
    {"fallwall", {"direction", "mode"}},
    {"rain", {"seed"}},
    {"moveapart", {"horizontal", "vertical", "increase", "diminish", "scale"}},
    {"lines", {"horizontal", "vertical", "lines"}},
};
const std::vector<std::string> kShared = {"effect", "first", "count", "no-palette", "copy", "no-copy"};

// The shared fields; F and C are taken as any integers, so that the effect
// itself refuses values below 1 and 2 with its message.
bool ParseShared(const ParsedArguments& parsed, TEffectParams& params)
{
    if (parsed.Has("first") && !ParseInt(parsed.Value("first"), INT_MIN, INT_MAX, params.firstFrame))
        return false;
    if (parsed.Has("count") && !ParseInt(parsed.Value("count"), INT_MIN, INT_MAX, params.frameCount))
        return false;
    return ParseEffectChecks(parsed, params);
}

// Loads, checks, runs and saves; F, C and L refused by the effect exit with 1.
template <typename Params>
int Apply(const std::string& input, const std::string& output, const Params& params)
{
    TGIFImage image;
    if (!LoadGIF(image, input))
        return kExitFailed;
    if (const std::string problem = CheckEffect(image, params); !problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitFailed;
    }
    try {
        RunEffect(image, params);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", input.c_str(), error.what());
        return kExitFailed;
    }
    return SaveGIF(image, output) ? kExitOk : kExitFailed;
}

int RunEffectCommand(const Arguments& args)
{
    const ParsedArguments parsed =
        ParseArguments(args, {"effect", "first", "count", "direction", "mode", "lines", "seed"},
                       {"horizontal", "vertical", "increase", "diminish", "scale", "no-palette", "copy", "no-copy"});
    if (!parsed.ok || parsed.positional.size() != 2)
        return UsageError(kUsage);
    const std::string effect = parsed.Value("effect");
    const EffectOptions* chosen = nullptr;
    for (const auto& candidate : kEffects)
        if (effect == candidate.name)
            chosen = &candidate;
    if (!chosen)
        return UsageError(kUsage);
    for (const auto& [name, value] : parsed.options)
        if (!Contains(kShared, name) && !Contains(chosen->own, name)) {
            std::fprintf(stderr, "animora-cli effect: --%s does not apply to %s\n", name.c_str(), chosen->name);
            return UsageError(kUsage);
        }
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];

    if (effect == "fallwall") {
        TFallWallParams params;
        if (!ParseShared(parsed, params) || !ParseFallWallOptions(parsed, params))
            return UsageError(kUsage);
        return Apply(input, output, params);
    }
    if (effect == "rain") {
        TRainParams params;
        if (!ParseShared(parsed, params) || !ParseRainOptions(parsed, params))
            return UsageError(kUsage);
        return Apply(input, output, params);
    }
    if (effect == "moveapart") {
        TMoveApartParams params;
        if (!ParseShared(parsed, params) || !ParseMoveApartOptions(parsed, params))
            return UsageError(kUsage);
        return Apply(input, output, params);
    }
    TLinesParams params;
    if (!ParseShared(parsed, params) || !ParseLinesOptions(parsed, params))
        return UsageError(kUsage);
    if (params.frameCount != 4) {
        std::fprintf(stderr, "animora-cli effect: lines always runs over 4 frames (--count 4)\n");
        return UsageError(kUsage);
    }
    return Apply(input, output, params);
}

const CommandRegistration registration("effect", kUsage, RunEffectCommand);

} // namespace
} // namespace animora::cli
