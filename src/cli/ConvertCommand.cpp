// animora-cli convert IN.gif OUT.gif [--encoding lzw|rle]: reads a GIF and
// writes it back with the chosen encoder. Other formats join later.
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "gif/GIFImage.h"

namespace animora::cli {
namespace {

const char* const kUsage = "convert IN.gif OUT.gif [--encoding lzw|rle]";

bool ParseEncoding(const std::string& name, uint8_t& encoding)
{
    if (name == "lzw")
        encoding = kEncodingLZW;
    else if (name == "rle")
        encoding = kEncodingRLE;
    else
        return false;
    return true;
}

int RunConvert(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {"encoding"}, {});
    uint8_t encoding = kEncodingLZW;
    if (!parsed.ok || parsed.positional.size() != 2 || !ParseEncoding(parsed.Value("encoding", "lzw"), encoding))
        return UsageError(kUsage);
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];
    TGIFImage image;
    image.WarningHandler = [](TPersistent&, int, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
    try {
        image.LoadFromFile(input);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", input.c_str(), error.what());
        return kExitFailed;
    }
    image.SetEncoding(encoding);
    try {
        image.SaveToFile(output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", output.c_str(), error.what());
        return kExitFailed;
    }
    return kExitOk;
}

const CommandRegistration registration("convert", kUsage, RunConvert);

} // namespace
} // namespace animora::cli
