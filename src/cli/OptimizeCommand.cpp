// animora-cli optimize IN.gif OUT.gif [--crop] [--merge] [--cleanup]
//   [--colormaps] [--delta] [--merge-maps] [--encoding lzw|rle]
// Runs the image optimisation with the chosen steps (all five when none is
// named), with --merge-maps also the merge of all colour maps into one, and
// prints the file sizes before and after.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Command.h"
#include "gif/GIFImage.h"

namespace animora::cli {
namespace {

const char* const kUsage =
    "optimize IN.gif OUT.gif [--crop] [--merge] [--cleanup] [--colormaps] [--delta] [--merge-maps] "
    "[--encoding lzw|rle]";

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

uint8_t ChosenSteps(const ParsedArguments& parsed)
{
    uint8_t steps = 0;
    if (parsed.Has("crop"))
        steps |= ooCrop;
    if (parsed.Has("merge"))
        steps |= ooMerge;
    if (parsed.Has("cleanup"))
        steps |= ooCleanup;
    if (parsed.Has("colormaps"))
        steps |= ooColorMap;
    if (parsed.Has("delta"))
        steps |= ooDelta;
    return steps == 0 ? uint8_t{ooCrop | ooMerge | ooCleanup | ooColorMap | ooDelta} : steps;
}

int RunOptimize(const Arguments& args)
{
    const ParsedArguments parsed =
        ParseArguments(args, {"encoding"}, {"crop", "merge", "cleanup", "colormaps", "delta", "merge-maps"});
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
    try {
        // The merge of all maps first: the per-map sort then has one map
        // whose order already follows use.
        if (parsed.Has("merge-maps"))
            image.OptimizeColorMaps();
        image.Optimize(ChosenSteps(parsed), image.ReductionMode(), image.ReductionBits(), image.DitherStyle());
        image.SetEncoding(encoding);
        image.SaveToFile(output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", output.c_str(), error.what());
        return kExitFailed;
    }
    std::error_code ignored;
    const auto before = std::filesystem::file_size(input, ignored);
    const auto after = std::filesystem::file_size(output, ignored);
    std::printf("%s: %llu bytes before, %llu bytes after\n", output.c_str(), static_cast<unsigned long long>(before),
                static_cast<unsigned long long>(after));
    return kExitOk;
}

const CommandRegistration registration("optimize", kUsage, RunOptimize);

} // namespace
} // namespace animora::cli
