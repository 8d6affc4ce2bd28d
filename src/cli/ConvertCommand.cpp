// animora-cli convert IN OUT: opens any picture the loader knows (GIF, JPEG,
// BMP, ICO, WMF, EMF) and writes it by OUT's extension:
//   .gif          a GIF image: a GIF is written back with all its frames
//                 (--encoding lzw|rle); any other picture becomes a one-frame
//                 GIF through the image's assignment, reduced as a new image
//                 would be or by --mode, --dither, --bits, --refine. An icon's mask and
//                 a metafile's unpainted background become transparency.
//   .bmp          the picture as a bitmap (a GIF's image bitmap: frame 0 on
//                 the logical screen)
//   .jpg, .jpeg   the same bitmap as JPEG (--quality, --grayscale, --smoothing)
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "color/ColorTypes.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"
#include "platform/Stream.h"

namespace animora::cli {
namespace {

const char* const kUsage =
    "convert IN.(gif|jpg|jpeg|bmp|ico|wmf|emf) OUT.(gif|bmp|jpg|jpeg) [--encoding lzw|rle] [--mode 0..8] "
    "[--dither 0..6] [--bits 3..8] [--refine on|off] [--quality 0..100] [--grayscale] [--smoothing 0..100]";

// The custom-palette mode needs a palette the command line cannot give.
constexpr int kLastCommandLineMode = crOptimizedWindows;

enum class OutputKind { GIF, Bitmap, JPEG, Unknown };

OutputKind OutputKindOf(const std::string& fileName)
{
    const std::string extension = LowerExtension(fileName);
    if (extension == "gif") return OutputKind::GIF;
    if (extension == "bmp") return OutputKind::Bitmap;
    if (extension == "jpg" || extension == "jpeg") return OutputKind::JPEG;
    return OutputKind::Unknown;
}

struct ConvertOptions {
    uint8_t encoding = kEncodingLZW;
    int mode = GIFImageDefaults().reductionMode;
    int dither = GIFImageDefaults().ditherStyle;
    int bits = GIFImageDefaults().reductionBits;
    bool refine = GIFImageDefaults().refinePalette;
    TJPEGOptions jpeg;
};

bool ParseEncoding(const std::string& text, uint8_t& encoding)
{
    if (text == "lzw")
        encoding = kEncodingLZW;
    else if (text == "rle")
        encoding = kEncodingRLE;
    else
        return false;
    return true;
}

bool ParseOptions(const ParsedArguments& parsed, ConvertOptions& options)
{
    options.jpeg.grayscale = parsed.Has("grayscale");
    return ParseEncoding(parsed.Value("encoding", "lzw"), options.encoding) &&
           (!parsed.Has("mode") || ParseInt(parsed.Value("mode"), 0, kLastCommandLineMode, options.mode)) &&
           (!parsed.Has("dither") || ParseInt(parsed.Value("dither"), 0, 6, options.dither)) &&
           (!parsed.Has("bits") || ParseInt(parsed.Value("bits"), 3, 8, options.bits)) &&
           (!parsed.Has("refine") || ParseOnOff(parsed.Value("refine"), options.refine)) &&
           ParseInt(parsed.Value("quality", "90"), 0, 100, options.jpeg.quality) &&
           ParseInt(parsed.Value("smoothing", "0"), 0, 100, options.jpeg.smoothing);
}

void PrintWarning(const std::string& message)
{
    std::fprintf(stderr, "warning: %s\n", message.c_str());
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

int Finish(bool written)
{
    return written ? kExitOk : kExitFailed;
}

int WriteGIF(TPicture& picture, const std::string& input, const std::string& output,
             const ConvertOptions& options)
{
    if (auto* loaded = dynamic_cast<TGIFImage*>(picture.Graphic())) {
        loaded->SetEncoding(options.encoding);
        return Finish(Attempt(output, [&] { loaded->SaveToFile(output); }));
    }
    TGIFImage image;
    image.WarningHandler = [](TPersistent&, int, const std::string& message) { PrintWarning(message); };
    image.SetReductionMode(static_cast<uint8_t>(options.mode));
    image.SetDitherStyle(static_cast<uint8_t>(options.dither));
    image.SetReductionBits(options.bits);
    image.SetRefinePalette(options.refine);
    image.SetEncoding(options.encoding);
    if (!Attempt(input, [&] { image.Assign(picture); }))
        return kExitFailed;
    picture = TPicture();  // large pictures: hold one copy at a time
    return Finish(Attempt(output, [&] { image.SaveToFile(output); }));
}

int WriteStill(const TPicture& picture, const std::string& input, const std::string& output,
               OutputKind kind, const TJPEGOptions& options)
{
    const TBitmap* still = nullptr;
    if (!Attempt(input, [&] { still = &picture.Bitmap(); }))
        return kExitFailed;
    if (still->Empty()) {
        std::fprintf(stderr, "error: %s: the image has no frames\n", input.c_str());
        return kExitFailed;
    }
    if (kind == OutputKind::Bitmap)
        return Finish(Attempt(output, [&] { still->SaveToFile(output); }));
    return Finish(Attempt(output, [&] {
        WriteFileAtomically(output, [&](TStream& stream) { EncodeJPEG(*still, options, stream); });
    }));
}

int RunConvert(const Arguments& args)
{
    const ParsedArguments parsed =
        ParseArguments(args, {"encoding", "mode", "dither", "bits", "refine", "quality", "smoothing"}, {"grayscale"});
    ConvertOptions options;
    if (!parsed.ok || parsed.positional.size() != 2 || !ParseOptions(parsed, options))
        return UsageError(kUsage);
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];
    const OutputKind kind = OutputKindOf(output);
    if (kind == OutputKind::Unknown)
        return UsageError(kUsage);

    TPicture picture;
    picture.OnWarning = PrintWarning;
    if (!Attempt(input, [&] { picture.LoadFromFile(input); }))
        return kExitFailed;
    if (kind == OutputKind::GIF)
        return WriteGIF(picture, input, output, options);
    return WriteStill(picture, input, output, kind, options.jpeg);
}

const CommandRegistration registration("convert", kUsage, RunConvert);

} // namespace
} // namespace animora::cli
