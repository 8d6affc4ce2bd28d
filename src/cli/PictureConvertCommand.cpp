// animora-cli convert-picture IN OUT: opens any picture the loader knows
// (BMP, JPEG, ICO, WMF, EMF) and writes it as BMP or JPEG by OUT's extension.
// GIF files on either side belong to the GIF codec's `convert`.
#include <cstdio>

#include "cli/Command.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "platform/Stream.h"

namespace animora::cli {

namespace {

const char* const kUsage =
    "convert-picture IN.(bmp|jpg|jpeg|ico|wmf|emf) OUT.(bmp|jpg|jpeg) [--quality Q] [--grayscale] [--smoothing S]";

bool ReadOptions(const ParsedArguments& parsed, TJPEGOptions& options)
{
    options.grayscale = parsed.Has("grayscale");
    return ParseInt(parsed.Value("quality", "90"), 0, 100, options.quality) &&
           ParseInt(parsed.Value("smoothing", "0"), 0, 100, options.smoothing);
}

void WriteJPEG(const TBitmap& bitmap, const TJPEGOptions& options, const std::string& fileName)
{
    WriteFileAtomically(fileName, [&](TStream& stream) { EncodeJPEG(bitmap, options, stream); });
}

int Run(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {"quality", "smoothing"}, {"grayscale"});
    TJPEGOptions options;
    if (!parsed.ok || parsed.positional.size() != 2 || !ReadOptions(parsed, options))
        return UsageError(kUsage);
    const std::string& input = parsed.positional[0];
    const std::string& output = parsed.positional[1];
    const std::string outputKind = LowerExtension(output);
    if (outputKind != "bmp" && outputKind != "jpg" && outputKind != "jpeg")
        return UsageError(kUsage);

    TPicture picture;
    picture.OnWarning = [](const std::string& message) { std::fprintf(stderr, "warning: %s\n", message.c_str()); };
    try {
        picture.LoadFromFile(input);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", input.c_str(), error.what());
        return kExitFailed;
    }
    if (picture.Kind() == PictureKind::pkGIF) {
        std::fprintf(stderr, "error: %s: GIF files are converted by 'animora-cli convert'\n", input.c_str());
        return kExitFailed;
    }
    try {
        if (outputKind == "bmp")
            picture.Bitmap().SaveToFile(output);
        else
            WriteJPEG(picture.Bitmap(), options, output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", output.c_str(), error.what());
        return kExitFailed;
    }
    return kExitOk;
}

const CommandRegistration registration("convert-picture", kUsage, Run);

} // namespace

} // namespace animora::cli
