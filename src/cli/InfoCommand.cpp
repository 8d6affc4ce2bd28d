// animora-cli info FILE [--json]: what a GIF file holds, as text or as one
// JSON object for scripts and tests.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Json.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"

namespace animora::cli {
namespace {

const char* const kUsage = "info FILE [--json]";

std::string IdentifierText(const TGIFApplicationExtension& extension)
{
    return extension.Identifier() + extension.Authentication();
}

JsonValue ExtensionJson(const TGIFExtension& extension)
{
    JsonObject object;
    if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(&extension)) {
        object.Add("kind", "graphic-control");
        object.Add("delay", control->Delay());
        object.Add("disposal", control->Disposal());
        object.Add("transparent", control->Transparent());
        object.Add("transparent_index", control->TransparentColorIndex());
        object.Add("user_input", control->UserInput());
    } else if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&extension)) {
        object.Add("kind", "comment");
        object.Add("lines", JsonArray::Of(comment->Lines()));
    } else if (const auto* text = dynamic_cast<const TGIFTextExtension*>(&extension)) {
        object.Add("kind", "plain-text");
        object.Add("lines", JsonArray::Of(text->Lines()));
    } else if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&extension)) {
        object.Add("kind", "loop");
        object.Add("identifier", IdentifierText(*loop));
        object.Add("loops", loop->Loops());
        object.Add("buffer_size", static_cast<int64_t>(loop->BufferSize()));
    } else if (const auto* application = dynamic_cast<const TGIFUnknownAppExtension*>(&extension)) {
        object.Add("kind", "application");
        object.Add("identifier", IdentifierText(*application));
        JsonArray sizes;
        for (const TGIFBlock& block : application->Blocks())
            sizes.Add(block.Size());
        object.Add("blocks", sizes);
    }
    return object;
}

JsonValue FrameJson(const TGIFSubImage& frame)
{
    JsonObject object;
    object.Add("left", frame.Left());
    object.Add("top", frame.Top());
    object.Add("width", frame.Width());
    object.Add("height", frame.Height());
    object.Add("interlaced", frame.Interlaced());
    object.Add("local_colors", frame.ColorMap().Count());
    object.Add("empty", frame.IsEmpty());
    JsonArray extensions;
    for (int i = 0; i < frame.Extensions().Count(); ++i)
        extensions.Add(ExtensionJson(*frame.Extensions().Extension(i)));
    object.Add("extensions", extensions);
    return object;
}

// The first looping extension of the file, or none.
const TGIFAppExtNSLoop* FirstLoop(const TGIFImage& image)
{
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFExtensionList& extensions = image.Images().SubImage(i)->Extensions();
        for (int j = 0; j < extensions.Count(); ++j) {
            if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extensions.Extension(j)))
                return loop;
        }
    }
    return nullptr;
}

std::vector<std::string> AllComments(const TGIFImage& image)
{
    std::vector<std::string> lines;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFExtensionList& extensions = image.Images().SubImage(i)->Extensions();
        for (int j = 0; j < extensions.Count(); ++j) {
            if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(extensions.Extension(j)))
                lines.insert(lines.end(), comment->Lines().begin(), comment->Lines().end());
        }
    }
    return lines;
}

JsonValue ImageJson(const TGIFImage& image)
{
    const TGIFHeader& header = image.Header();
    JsonObject object;
    object.Add("signature", header.Signature());
    object.Add("width", header.ScreenWidth());
    object.Add("height", header.ScreenHeight());
    object.Add("background_index", header.BackgroundColorIndex());
    object.Add("aspect", header.AspectRatio());
    object.Add("global_colors", header.ColorMap().Count());
    object.Add("global_sorted", (header.PackedFields() & 0x08) != 0);
    const TGIFAppExtNSLoop* loop = FirstLoop(image);
    object.Add("loop_count", loop ? JsonValue(loop->Loops()) : JsonValue::Null());
    object.Add("comments", JsonArray::Of(AllComments(image)));
    JsonArray frames;
    for (int i = 0; i < image.Images().Count(); ++i)
        frames.Add(FrameJson(*image.Images().SubImage(i)));
    object.Add("frames", frames);
    return object;
}

void PrintText(const TGIFImage& image)
{
    const TGIFHeader& header = image.Header();
    std::printf("signature: %s\nscreen: %d x %d\nbackground index: %d\naspect: %d\nglobal colors: %d%s\n",
                JsonEscapeText(header.Signature()).c_str(), header.ScreenWidth(), header.ScreenHeight(),
                header.BackgroundColorIndex(), header.AspectRatio(), header.ColorMap().Count(),
                (header.PackedFields() & 0x08) ? " (sorted)" : "");
    const TGIFAppExtNSLoop* loop = FirstLoop(image);
    if (loop)
        std::printf("loop count: %d\n", loop->Loops());
    for (const std::string& line : AllComments(image))
        std::printf("comment: %s\n", JsonEscapeText(line).c_str());
    std::printf("frames: %d\n", image.Images().Count());
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        std::printf("  frame %d: %d,%d %d x %d%s, local colors %d, extensions %d%s\n", i, frame.Left(), frame.Top(),
                    frame.Width(), frame.Height(), frame.Interlaced() ? " interlaced" : "", frame.ColorMap().Count(),
                    frame.Extensions().Count(), frame.IsEmpty() ? " (no pixels)" : "");
    }
}

int RunInfo(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {}, {"json"});
    if (!parsed.ok || parsed.positional.size() != 1)
        return UsageError(kUsage);
    TGIFImage image;
    if (!LoadGIF(image, parsed.positional[0]))
        return kExitFailed;
    if (parsed.Has("json"))
        std::printf("%s\n", ImageJson(image).Text().c_str());
    else
        PrintText(image);
    return kExitOk;
}

const CommandRegistration registration("info", kUsage, RunInfo);

} // namespace
} // namespace animora::cli
