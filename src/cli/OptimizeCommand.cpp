// animora-cli optimize IN.gif OUT.gif [--crop] [--merge] [--cleanup]
//   [--colormaps] [--delta] [--merge-maps] [--encoding lzw|rle]
// Runs the image optimisation with the chosen steps (all five when none is
// named), with --merge-maps also the merge of all colour maps into one, and
// prints the file sizes before and after.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

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

// The colour of every drawn pixel of every frame, in order (0xFFFFFFFF for
// a transparent pixel or one past its map).
std::vector<uint32_t> DrawnColors(const TGIFImage& image)
{
    std::vector<uint32_t> colors;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        const int t = frame.Transparent() && frame.GraphicControl() ? frame.GraphicControl()->TransparentColorIndex() : -1;
        const TGIFColorMap& map = frame.ActiveColorMap();
        for (size_t k = 0; k < frame.DataSize(); ++k) {
            const int p = frame.Data()[k];
            const uint8_t* rgb = map.Entries() + 3 * p;
            colors.push_back(p == t || p >= map.Count() ? 0xFFFFFFFFu
                                                        : uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2]);
        }
    }
    return colors;
}

// Merging the maps keeps at most 256 colours: the others take the nearest
// kept one, so the picture changes. Says by how much.
void ReportMergedColors(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after)
{
    const auto distinct = [](const std::vector<uint32_t>& colors) {
        std::set<uint32_t> set(colors.begin(), colors.end());
        set.erase(0xFFFFFFFFu);
        return set.size();
    };
    const size_t merged = distinct(before) - std::min(distinct(before), distinct(after));
    double error = 0;
    size_t count = 0;
    for (size_t k = 0; k < before.size() && k < after.size(); ++k) {
        if (before[k] == 0xFFFFFFFFu || after[k] == 0xFFFFFFFFu)
            continue;
        for (int shift = 0; shift <= 16; shift += 8) {
            const double d = double((before[k] >> shift) & 0xFF) - double((after[k] >> shift) & 0xFF);
            error += d * d;
        }
        count += 3;
    }
    if (merged == 0 || error == 0) {
        std::printf("merge-maps: no colour merged, the picture is unchanged\n");
        return;
    }
    const double psnr = 10 * std::log10(255.0 * 255.0 / (error / static_cast<double>(count)));
    std::printf("merge-maps: %zu colours merged into others, PSNR %.2f dB\n", merged, psnr);
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
    if (!LoadGIF(image, input))
        return kExitFailed;
    try {
        // The merge of all maps first: the per-map sort then has one map
        // whose order already follows use.
        if (parsed.Has("merge-maps")) {
            const std::vector<uint32_t> before = DrawnColors(image);
            image.OptimizeColorMaps();
            ReportMergedColors(before, DrawnColors(image));
        }
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
