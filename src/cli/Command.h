#pragma once
// The commands of animora-cli. Each command lives in its own file and
// registers itself with a static CommandRegistration, so adding a command
// touches no other file.
#include <string>
#include <vector>

namespace animora {
class TGIFImage;
}

namespace animora::cli {

// Exit codes shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the file could not be loaded or written
constexpr int kExitUsage = 2;   // wrong usage

using Arguments = std::vector<std::string>;
using CommandFunction = int (*)(const Arguments& args);

struct CommandInfo {
    std::string name;
    std::string usage;  // one line: "info FILE [--json]"
    CommandFunction run;
};

struct CommandRegistration {
    CommandRegistration(std::string name, std::string usage, CommandFunction run);
};

const std::vector<CommandInfo>& Commands();

// Prints "usage: animora-cli <usage>" to standard error and answers kExitUsage.
int UsageError(const std::string& usage);

// Loads a GIF, its warnings to standard error; on failure the reason goes to
// standard error and the answer is false.
bool LoadGIF(TGIFImage& image, const std::string& path);

// Saves a GIF; on failure the reason goes to standard error and the answer
// is false.
bool SaveGIF(TGIFImage& image, const std::string& path);

// Splits arguments into positional ones and --name value / --flag options.
// Options named in `valued` take the next argument as their value.
struct ParsedArguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // name without "--", value or ""
    bool ok = true;  // false when a valued option had no value or an unknown option appeared

    bool Has(const std::string& name) const;
    std::string Value(const std::string& name, const std::string& fallback = "") const;
};
ParsedArguments ParseArguments(const Arguments& args, const std::vector<std::string>& valued,
                               const std::vector<std::string>& flags);

// Parses a whole decimal number in [low, high]; false when it is not one.
bool ParseInt(const std::string& text, int low, int high, int& value);
// "on" or "off".
bool ParseOnOff(const std::string& text, bool& value);

} // namespace animora::cli
