#include "cli/EffectOptions.h"

#include <charconv>
#include <climits>

namespace animora::cli {

using namespace animora::effects;

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
    for (const auto& n : names)
        if (n == name)
            return true;
    return false;
}

bool ParseSeed(const std::string& text, uint64_t& seed)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, seed);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool Pair(const ParsedArguments& parsed, const char* first, const char* second, bool& secondChosen)
{
    if (parsed.Has(first) && parsed.Has(second))
        return false;
    secondChosen = parsed.Has(second);
    return true;
}

bool ParseEffectChecks(const ParsedArguments& parsed, TEffectParams& params)
{
    if (parsed.Has("copy") && parsed.Has("no-copy"))
        return false;
    if (parsed.Has("no-palette"))
        params.useLastFramePalette = false;
    if (parsed.Has("copy"))
        params.copyFrame = true;
    if (parsed.Has("no-copy"))
        params.copyFrame = false;
    return true;
}

bool ParseFallWallOptions(const ParsedArguments& parsed, TFallWallParams& params)
{
    const std::string direction = parsed.Value("direction", "up-down");
    const std::string mode = parsed.Value("mode", "slide");
    const char* const directions[] = {"up-down", "down-up", "left-right", "right-left"};
    bool known = false;
    for (int i = 0; i < 4; ++i)
        if (direction == directions[i]) {
            params.direction = static_cast<TFallDirection>(i);
            known = true;
        }
    if (mode != "unfold" && mode != "slide" && mode != "squeeze")
        return false;
    params.mode = FallModeFromChecks(mode == "unfold", mode == "squeeze");
    return known;
}

bool ParseRainOptions(const ParsedArguments& parsed, TRainParams& params)
{
    return !parsed.Has("seed") || ParseSeed(parsed.Value("seed"), params.seed);
}

bool ParseMoveApartOptions(const ParsedArguments& parsed, TMoveApartParams& params)
{
    bool vertical = false, diminish = false;
    if (!Pair(parsed, "horizontal", "vertical", vertical) || !Pair(parsed, "increase", "diminish", diminish))
        return false;
    params.orientation = vertical ? orVertical : orHorizontal;
    params.kind = diminish ? mkDiminish : mkIncrease;
    params.scale = parsed.Has("scale");
    return true;
}

// L is taken as any integer, so that the effect itself refuses values below 1
// with its message.
bool ParseLinesOptions(const ParsedArguments& parsed, TLinesParams& params)
{
    bool vertical = false;
    if (!Pair(parsed, "horizontal", "vertical", vertical))
        return false;
    params.orientation = vertical ? orVertical : orHorizontal;
    return !parsed.Has("lines") || ParseInt(parsed.Value("lines"), INT_MIN, INT_MAX, params.lines);
}

} // namespace animora::cli
