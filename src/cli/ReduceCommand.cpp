// animora-cli reduce: the colour-reduction driver on BMP files.
#include <cstdio>

#include "cli/Command.h"
#include "color/ReduceColors.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"

namespace animora::cli {

namespace {

const char* const kUsage =
    "reduce IN.bmp OUT.bmp [--mode 0..9] [--dither 0..6] [--bits 3..8] [--palette PAL.bmp] [--refine on|off]";

struct ReduceOptions {
    int mode = crNetscape; // the defaults of a new image
    int dither = dkNearest;
    int bits = 8;
    bool refine = GIFImageDefaults().refinePalette;
    std::string paletteFile;
};

bool ParseReduceOptions(const ParsedArguments& parsed, ReduceOptions& options)
{
    if (!parsed.ok || parsed.positional.size() != 2)
        return false;
    if (parsed.Has("mode") && !ParseInt(parsed.Value("mode"), 0, kLastReductionMode, options.mode))
        return false;
    if (parsed.Has("dither") && !ParseInt(parsed.Value("dither"), 0, kLastDitherKind, options.dither))
        return false;
    if (parsed.Has("bits") && !ParseInt(parsed.Value("bits"), 3, 8, options.bits))
        return false;
    if (parsed.Has("refine") && !ParseOnOff(parsed.Value("refine"), options.refine))
        return false;
    options.paletteFile = parsed.Value("palette");
    // A custom palette is what mode 9 reduces to, and only mode 9 uses one.
    return (options.mode == crCustomPalette) == !options.paletteFile.empty();
}

// The palette of a palette bitmap (1, 4 or 8 bits).
bool LoadPalette(const std::string& fileName, TPalette& palette)
{
    TBitmap bitmap;
    bitmap.LoadFromFile(fileName);
    if (!IsPaletteFormat(bitmap.GetPixelFormat()) || bitmap.Palette().Empty()) {
        std::fprintf(stderr, "error: %s has no palette (an 8-bit BMP is needed)\n", fileName.c_str());
        return false;
    }
    palette = bitmap.Palette();
    return true;
}

int RunReduce(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {"mode", "dither", "bits", "palette", "refine"}, {});
    ReduceOptions options;
    if (!ParseReduceOptions(parsed, options))
        return UsageError(kUsage);

    TPalette custom;
    if (!options.paletteFile.empty() && !LoadPalette(options.paletteFile, custom))
        return kExitFailed;
    TBitmap source;
    source.LoadFromFile(parsed.positional[0]);
    const auto result = ReduceBitmapColors(source, static_cast<ColorReductionMode>(options.mode),
                                           static_cast<DitherKind>(options.dither),
                                           options.paletteFile.empty() ? nullptr : &custom, options.bits,
                                           options.refine);
    if (result->Empty()) {
        std::fprintf(stderr, "error: the reduction gave an empty picture\n");
        return kExitFailed;
    }
    result->SaveToFile(parsed.positional[1]);
    return kExitOk;
}

const CommandRegistration registration("reduce", kUsage, RunReduce);

} // namespace

} // namespace animora::cli
