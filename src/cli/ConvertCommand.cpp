// animora-cli convert, by the files' extensions:
//   convert IN.gif OUT.gif [--encoding lzw|rle]   read and write back
//   convert IN.bmp OUT.gif [--mode N] [--dither N] [--bits N]
//                                                 a one-frame GIF of the picture,
//                                                 reduced as a new image would
//   convert IN.gif OUT.bmp                        the image's picture (frame 0
//                                                 on the logical screen)
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"

namespace animora::cli {
namespace {

const char* const kUsage =
    "convert IN.(gif|bmp) OUT.(gif|bmp) [--encoding lzw|rle] [--mode 0..9] [--dither 0..6] [--bits 3..8]";

bool HasExtension(const std::string& fileName, const std::string& extension)
{
    if (fileName.size() < extension.size())
        return false;
    std::string tail = fileName.substr(fileName.size() - extension.size());
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == extension;
}

struct ConvertOptions {
    uint8_t encoding = kEncodingLZW;
    int mode = GIFImageDefaults().reductionMode;
    int dither = GIFImageDefaults().ditherStyle;
    int bits = GIFImageDefaults().reductionBits;
};

bool ParseOptions(const ParsedArguments& parsed, ConvertOptions& options)
{
    const std::string encoding = parsed.Value("encoding", "lzw");
    if (encoding == "lzw")
        options.encoding = kEncodingLZW;
    else if (encoding == "rle")
        options.encoding = kEncodingRLE;
    else
        return false;
    return (!parsed.Has("mode") || ParseInt(parsed.Value("mode"), 0, 9, options.mode)) &&
           (!parsed.Has("dither") || ParseInt(parsed.Value("dither"), 0, 6, options.dither)) &&
           (!parsed.Has("bits") || ParseInt(parsed.Value("bits"), 3, 8, options.bits));
}

void AttachWarnings(TGIFImage& image)
{
    image.WarningHandler = [](TPersistent&, int, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
}

// Runs one step; a failure is reported with the file it concerns.
template <typename Step>
bool Attempt(const std::string& fileName, Step step)
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", fileName.c_str(), error.what());
        return false;
    }
}

int GIFToGIF(const std::string& input, const std::string& output, const ConvertOptions& options)
{
    TGIFImage image;
    AttachWarnings(image);
    if (!Attempt(input, [&] { image.LoadFromFile(input); }))
        return kExitFailed;
    image.SetEncoding(options.encoding);
    return Attempt(output, [&] { image.SaveToFile(output); }) ? kExitOk : kExitFailed;
}

int BitmapToGIF(const std::string& input, const std::string& output, const ConvertOptions& options)
{
    auto picture = std::make_unique<TBitmap>();
    if (!Attempt(input, [&] { picture->LoadFromFile(input); }))
        return kExitFailed;
    TGIFImage image;
    AttachWarnings(image);
    image.SetReductionMode(static_cast<uint8_t>(options.mode));
    image.SetDitherStyle(static_cast<uint8_t>(options.dither));
    image.SetReductionBits(options.bits);
    image.SetEncoding(options.encoding);
    if (!Attempt(input, [&] { image.Assign(*picture); }))
        return kExitFailed;
    picture.reset();  // large pictures: hold one copy at a time
    return Attempt(output, [&] { image.SaveToFile(output); }) ? kExitOk : kExitFailed;
}

int GIFToBitmap(const std::string& input, const std::string& output)
{
    TGIFImage image;
    AttachWarnings(image);
    if (!Attempt(input, [&] { image.LoadFromFile(input); }))
        return kExitFailed;
    const TBitmap* picture = nullptr;
    if (!Attempt(input, [&] { picture = image.FirstFrameBitmap(); }))
        return kExitFailed;
    if (!picture) {
        std::fprintf(stderr, "error: %s: the image has no frames\n", input.c_str());
        return kExitFailed;
    }
    return Attempt(output, [&] { picture->SaveToFile(output); }) ? kExitOk : kExitFailed;
}

int RunConvert(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {"encoding", "mode", "dither", "bits"}, {});
    ConvertOptions options;
    if (!parsed.ok || parsed.positional.size() != 2 || !ParseOptions(parsed, options))
        return UsageError(kUsage);
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];
    const bool inputBitmap = HasExtension(input, ".bmp");
    const bool outputBitmap = HasExtension(output, ".bmp");
    if (inputBitmap && outputBitmap)
        return UsageError(kUsage);
    if (inputBitmap)
        return BitmapToGIF(input, output, options);
    if (outputBitmap)
        return GIFToBitmap(input, output);
    return GIFToGIF(input, output, options);
}

const CommandRegistration registration("convert", kUsage, RunConvert);

} // namespace
} // namespace animora::cli
