// animora-cli frames FILE OUTDIR [--backdrop none|#RRGGBB] [--options HEX]:
// plays one pass of an animation without waiting and writes every composed
// frame, screen-sized, as OUTDIR/frame-NNN.pam (RGB_ALPHA, 8 bits), printing
// each frame's delay as the painter would play it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Command.h"
#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"

namespace animora::cli {
namespace {

const char* const kUsage = "frames FILE OUTDIR [--backdrop none|#RRGGBB] [--options HEX]";

bool ParseBackdrop(const std::string& text, TColor& color)
{
    if (text == "none") {
        color = kNoBackdrop;
        return true;
    }
    if (text.size() != 7 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return false;
    const unsigned long rgb = std::stoul(text.substr(1), nullptr, 16);
    color = MakeColor(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb));
    return true;
}

bool ParseOptions(std::string text, uint16_t& options)
{
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)
        text = text.substr(2);
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    options = static_cast<uint16_t>(std::stoul(text, nullptr, 16));
    return true;
}

// The screen the frames are composed on: transparent, or the backdrop colour.
TBitmap MakeScreen(const TGIFImage& image, TColor backdrop)
{
    TBitmap screen(image.GetWidth(), image.GetHeight(), PixelFormat::pf32bit);
    if (backdrop != kNoBackdrop)
        TCanvas(screen).FillRect(Bounds(0, 0, screen.Width(), screen.Height()), backdrop);
    return screen;
}

void WritePam(const std::string& fileName, const TBitmap& screen)
{
    WriteFileAtomically(fileName, [&](TStream& stream) {
        const std::string header = "P7\nWIDTH " + std::to_string(screen.Width()) + "\nHEIGHT " +
                                   std::to_string(screen.Height()) +
                                   "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
        stream.WriteBuffer(header.data(), header.size());
        std::vector<uint8_t> row(static_cast<size_t>(screen.Width()) * 4);
        for (int y = 0; y < screen.Height(); ++y) {
            const uint8_t* bgra = screen.ScanLine(y);
            for (int x = 0; x < screen.Width(); ++x) {
                row[x * 4 + 0] = bgra[x * 4 + 2];
                row[x * 4 + 1] = bgra[x * 4 + 1];
                row[x * 4 + 2] = bgra[x * 4 + 0];
                row[x * 4 + 3] = bgra[x * 4 + 3];
            }
            stream.WriteBuffer(row.data(), row.size());
        }
    });
}

std::string FrameFileName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d.pam", index);
    return name;
}

// One pass as a painter plays it: frame after frame until an empty frame,
// only the first without drAnimate.
int ComposeFrames(TGIFImage& image, const std::filesystem::path& outDir, TColor backdrop)
{
    const uint16_t options = image.DrawOptions();
    TBitmap screen = MakeScreen(image, backdrop);
    TCanvas canvas(screen);
    TGIFComposition composition(image, options, Bounds(0, 0, screen.Width(), screen.Height()), canvas);
    int previousDisposal = dmNoDispose;
    int written = 0;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.IsEmpty())
            break;
        const int disposal = FrameDisposal(frame);
        composition.Paint(i, disposal, previousDisposal);
        previousDisposal = disposal;
        const std::string name = FrameFileName(i);
        WritePam((outDir / name).string(), screen);
        const int delay = PlayedFrameDelay(frame, (options & drThreaded) != 0, GIFPlaybackTiming());
        std::printf("%s delay %d (%lld ms)\n", name.c_str(), delay,
                    static_cast<long long>(DelayToMs(delay, image.AnimationSpeed(), GIFPlaybackTiming())));
        ++written;
        if (!(options & drAnimate))
            break;
    }
    return written;
}

int RunFrames(const Arguments& args)
{
    const ParsedArguments parsed = ParseArguments(args, {"backdrop", "options"}, {});
    TColor backdrop = kNoBackdrop;
    TGIFImage image;
    uint16_t options = image.DrawOptions();
    if (!parsed.ok || parsed.positional.size() != 2 || !ParseBackdrop(parsed.Value("backdrop", "none"), backdrop) ||
        (parsed.Has("options") && !ParseOptions(parsed.Value("options"), options)))
        return UsageError(kUsage);
    const std::string& input = parsed.positional[0];
    const std::filesystem::path outDir = parsed.positional[1];
    image.WarningHandler = [](TPersistent&, int, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
    try {
        image.LoadFromFile(input);
        image.SetDrawOptions(options);
        image.SetBackdropColor(backdrop);
        std::filesystem::create_directories(outDir);
        ComposeFrames(image, outDir, backdrop);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s: %s\n", input.c_str(), error.what());
        return kExitFailed;
    }
    return kExitOk;
}

const CommandRegistration registration("frames", kUsage, RunFrames);

} // namespace
} // namespace animora::cli
