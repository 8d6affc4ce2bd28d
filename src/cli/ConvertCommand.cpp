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
//   .avi, .mp4, .mkv, .mov, .webm, .webp, .apng
//                 the image's frames as a video (formats/Video.h)
// A video (.avi, .mp4, .mkv, .mov, .webm, .webp, .apng, .mpg, ...) comes in
// as an animated GIF of its frames, which is written as a GIF (frame by
// frame, never held whole) or as another video.
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "color/ColorTypes.h"
#include "formats/FileKinds.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "formats/Video.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"
#include "platform/Stream.h"

namespace animora::cli {
namespace {

const char* const kUsage =
    "convert IN.(gif|jpg|jpeg|bmp|ico|wmf|emf|avi|mp4|mkv|mov|webm|apng|...) "
    "OUT.(gif|bmp|jpg|jpeg|avi|mp4|mkv|mov|webm|webp|apng) [--encoding lzw|rle] [--mode 0..8] "
    "[--dither 0..6] [--bits 3..8] [--refine on|off] [--quality 0..100] [--grayscale] [--smoothing 0..100]";

// The custom-palette mode needs a palette the command line cannot give.
constexpr int kLastCommandLineMode = crOptimizedWindows;

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

// Tells when an MP4, Matroska or MOV file is not H.264: the library
// installed has no H.264 encoder and another one stood in.
void ReportEncoder(const std::string& output, const std::string& encoder)
{
    const std::string extension = LowerExtension(output);
    const bool wantsH264 = extension == "mp4" || extension == "m4v" || extension == "mkv" || extension == "mov";
    if (wantsH264 && encoder.find("264") == std::string::npos)
        std::fprintf(stderr, "warning: no H.264 encoder available; %s written with %s\n", output.c_str(),
                     encoder.c_str());
}

int WriteVideo(TGIFImage& image, const std::string& output)
{
    std::string encoder;
    if (!Attempt(output, [&] { encoder = ExportAvi(image, output); }))
        return kExitFailed;
    ReportEncoder(output, encoder);
    return kExitOk;
}

// A video in: to a GIF file frame by frame, to another video through the
// whole image.
int ConvertVideo(const std::string& input, const std::string& output, TFileKind kind)
{
    if (kind == TFileKind::fkGIF)
        return Finish(Attempt(input, [&] { ImportAviToFile(input, output); }));
    if (kind != TFileKind::fkVideo) {
        std::fprintf(stderr, "error: %s: a video converts to a GIF or another video\n", input.c_str());
        return kExitUsage;
    }
    std::unique_ptr<TGIFImage> image;
    if (!Attempt(input, [&] { image = ImportAvi(input); }))
        return kExitFailed;
    return WriteVideo(*image, output);
}

int WriteGIF(TPicture& picture, const std::string& input, const std::string& output, TFileKind kind,
             const ConvertOptions& options)
{
    if (auto* loaded = dynamic_cast<TGIFImage*>(picture.Graphic())) {
        if (kind == TFileKind::fkVideo)
            return WriteVideo(*loaded, output);
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
    if (kind == TFileKind::fkVideo)
        return WriteVideo(image, output);
    return Finish(Attempt(output, [&] { image.SaveToFile(output); }));
}

int WriteStill(const TPicture& picture, const std::string& input, const std::string& output,
               TFileKind kind, const TJPEGOptions& options)
{
    const TBitmap* still = nullptr;
    if (!Attempt(input, [&] { still = &picture.Bitmap(); }))
        return kExitFailed;
    if (still->Empty()) {
        std::fprintf(stderr, "error: %s: the image has no frames\n", input.c_str());
        return kExitFailed;
    }
    if (kind == TFileKind::fkBitmap)
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
    const TFileKind kind = FileKindOf(output);
    if (!FileKindInfo(kind).saves)
        return UsageError(kUsage);

    if (IsVideoFileName(input))
        return ConvertVideo(input, output, kind);
    TPicture picture;
    picture.OnWarning = PrintWarning;
    if (!Attempt(input, [&] { picture.LoadFromFile(input); }))
        return kExitFailed;
    if (kind == TFileKind::fkGIF || kind == TFileKind::fkVideo)
        return WriteGIF(picture, input, output, kind, options);
    return WriteStill(picture, input, output, kind, options.jpeg);
}

const CommandRegistration registration("convert", kUsage, RunConvert);

} // namespace
} // namespace animora::cli
