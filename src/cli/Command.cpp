#include "cli/Command.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>

#include "gif/GIFImage.h"

namespace animora::cli {

static std::vector<CommandInfo>& Registry()
{
    static std::vector<CommandInfo> commands;
    return commands;
}

CommandRegistration::CommandRegistration(std::string name, std::string usage, CommandFunction run)
{
    Registry().push_back({std::move(name), std::move(usage), run});
}

const std::vector<CommandInfo>& Commands()
{
    return Registry();
}

int UsageError(const std::string& usage)
{
    std::fprintf(stderr, "usage: animora-cli %s\n", usage.c_str());
    return kExitUsage;
}

bool ParsedArguments::Has(const std::string& name) const
{
    return std::any_of(options.begin(), options.end(), [&](const auto& option) { return option.first == name; });
}

std::string ParsedArguments::Value(const std::string& name, const std::string& fallback) const
{
    for (auto it = options.rbegin(); it != options.rend(); ++it) {
        if (it->first == name)
            return it->second;
    }
    return fallback;
}

ParsedArguments ParseArguments(const Arguments& args, const std::vector<std::string>& valued,
                               const std::vector<std::string>& flags)
{
    ParsedArguments parsed;
    auto contains = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(2);
        if (contains(valued, name)) {
            if (i + 1 >= args.size()) {
                parsed.ok = false;
                break;
            }
            parsed.options.emplace_back(name, args[++i]);
        } else if (contains(flags, name)) {
            parsed.options.emplace_back(name, "");
        } else {
            parsed.ok = false;
        }
    }
    return parsed;
}

bool ParseInt(const std::string& text, int low, int high, int& value)
{
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseOnOff(const std::string& text, bool& value)
{
    if (text != "on" && text != "off")
        return false;
    value = text == "on";
    return true;
}

bool LoadGIF(TGIFImage& image, const std::string& path)
{
    image.WarningHandler = [](TPersistent&, int, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
    try {
        image.LoadFromFile(path);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", path.c_str(), error.what());
        return false;
    }
    return true;
}

bool SaveGIF(TGIFImage& image, const std::string& path)
{
    try {
        image.SaveToFile(path);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", path.c_str(), error.what());
        return false;
    }
    return true;
}

} // namespace animora::cli
