// The options of the four effect pages, shared by `effect` (a run of an
// existing GIF) and `wizard` (the effect of a new banner), so that one option
// means one thing in both commands.
#pragma once

#include <string>
#include <vector>

#include "cli/Command.h"
#include "effects/Effects.h"

namespace animora::cli {

bool Contains(const std::vector<std::string>& names, const std::string& name);

// A decimal seed for the rain's random strewing.
bool ParseSeed(const std::string& text, uint64_t& seed);

// Two options of one radio pair: at most one, `second` answers true.
bool Pair(const ParsedArguments& parsed, const char* first, const char* second, bool& secondChosen);

// The check boxes every option page has: --no-palette, --copy, --no-copy.
bool ParseEffectChecks(const ParsedArguments& parsed, effects::TEffectParams& params);

// --direction and --mode of the fall wall.
bool ParseFallWallOptions(const ParsedArguments& parsed, effects::TFallWallParams& params);

// --seed of the rain.
bool ParseRainOptions(const ParsedArguments& parsed, effects::TRainParams& params);

// --horizontal|--vertical, --increase|--diminish and --scale of move apart.
bool ParseMoveApartOptions(const ParsedArguments& parsed, effects::TMoveApartParams& params);

// --horizontal|--vertical and --lines of the lines effect.
bool ParseLinesOptions(const ParsedArguments& parsed, effects::TLinesParams& params);

} // namespace animora::cli
