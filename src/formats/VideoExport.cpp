// A GIF's frames written as a video: each frame's rendering, brought to
// frame 0's size, in the container the file's extension names.
#include <algorithm>
#include <array>

#include "formats/Picture.h"
#include "formats/Video.h"
#include "formats/VideoWriter.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"

namespace animora {

namespace {

const std::string kExporting = "Exporting video...";

struct TKindName {
    const char* extension;
    VideoKind kind;
};
constexpr std::array<TKindName, 8> kWrittenKinds{{
    {"avi", VideoKind::vkAVI},
    {"mp4", VideoKind::vkMP4},
    {"m4v", VideoKind::vkMP4},
    {"mkv", VideoKind::vkMatroska},
    {"mov", VideoKind::vkMOV},
    {"webm", VideoKind::vkWebM},
    {"webp", VideoKind::vkWebP},
    {"apng", VideoKind::vkAPNG},
}};

// Read but never written.
constexpr std::array<const char*, 7> kReadOnlyExtensions{"mpg", "mpeg", "ts", "flv", "ogv", "wmv", "3gp"};

TBitmap* RenderingOf(const TGIFSubImage& frame)
{
    return frame.IsEmpty() ? nullptr : frame.RenderedBitmap();
}

// Nearest-neighbour scaling keeps the indices and the palette as they are.
TBitmap FitToSize(const TBitmap& picture, int width, int height)
{
    if (picture.Width() == width && picture.Height() == height)
        return picture;
    TBitmap fitted(width, height, PixelFormat::pf8bit);
    fitted.SetPalette(picture.Palette());
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = picture.ScanLine(static_cast<int>(int64_t{y} * picture.Height() / height));
        uint8_t* out = fitted.ScanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = in[int64_t{x} * picture.Width() / width];
    }
    return fitted;
}

// An AVI has one colour table, frame 0's: another frame's indices are
// renumbered to the nearest of its colours, so every frame keeps its look.
void RenumberToPalette(TBitmap& picture, const TPalette& palette)
{
    if (picture.Palette() == palette)
        return;
    std::array<uint8_t, 256> nearest{};
    const TPalette& own = picture.Palette();
    for (int i = 0; i < own.Count(); ++i)
        nearest[static_cast<size_t>(i)] = static_cast<uint8_t>(
            std::max(0, palette.NearestIndex(own[i].red, own[i].green, own[i].blue)));
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x)
            row[x] = nearest[row[x]];
    }
    picture.SetPalette(palette);
}

uint16_t FrameDelay(const TGIFSubImage& frame, uint16_t fallback)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControl();
    return control && control->Delay() > 0 ? control->Delay() : fallback;
}

// Plays of an animated WebP or APNG: the looping block's count (0 = for
// ever); a GIF without one plays once.
int PlaysOf(const TGIFImage& image)
{
    const TGIFSubImage& first = *image.Images().SubImage(0);
    for (int i = 0; i < first.Extensions().Count(); ++i)
        if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(first.Extensions().Extension(i)))
            return loop->Loops();
    return 1;
}

class TExportProgress {
public:
    explicit TExportProgress(const TVideoProgress& handler) : handler_(handler)
    {
        Report(TProgressStage::psStarting, 0);
    }
    ~TExportProgress()
    {
        try {
            Report(TProgressStage::psEnding, done_ ? 100 : 0);
        } catch (...) {
            // the run is over either way
        }
    }
    void Report(TProgressStage stage, int percent)
    {
        if (handler_)
            handler_(stage, percent, kExporting);
    }
    void Done() { done_ = true; }

private:
    const TVideoProgress& handler_;
    bool done_ = false;
};

} // namespace

std::optional<VideoKind> VideoKindForFileName(const std::string& fileName)
{
    const std::string extension = LowerExtension(fileName);
    for (const TKindName& known : kWrittenKinds)
        if (extension == known.extension)
            return known.kind;
    return std::nullopt;
}

bool IsVideoFileName(const std::string& fileName)
{
    const std::string extension = LowerExtension(fileName);
    return VideoKindForFileName(fileName) ||
           std::find(kReadOnlyExtensions.begin(), kReadOnlyExtensions.end(), extension) !=
               kReadOnlyExtensions.end();
}

uint16_t ExportFrameDelay(const TGIFImage& image)
{
    uint16_t delay = 0;
    bool seenLocalColors = false;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        if (frame.ColorMap().Count() > 0)
            seenLocalColors = true;
        if (const TGIFGraphicControlExtension* control = frame.GraphicControl())
            delay = control->Delay();
        if (seenLocalColors && delay != 0)
            break;
    }
    return delay == 0 ? 1 : delay;
}

std::string ExportAvi(TGIFImage& image, const std::string& videoPath, const TVideoProgress& progress)
{
    const std::optional<VideoKind> kind = VideoKindForFileName(videoPath);
    if (!kind)
        throw EVideoError("Unknown video file extension (." + LowerExtension(videoPath) + ")");
    const TBitmap* first = image.Images().Count() > 0 ? RenderingOf(*image.Images().SubImage(0)) : nullptr;
    if (!first || first->Empty() || first->GetPixelFormat() != PixelFormat::pf8bit)
        throw EVideoError("Failed to retrieve bitmap info");
    const TPalette firstPalette = first->Palette();
    const bool avi = *kind == VideoKind::vkAVI;
    const uint16_t delay = ExportFrameDelay(image);
    TVideoSettings settings;
    settings.kind = *kind;
    settings.width = first->Width();
    settings.height = first->Height();
    // An AVI has one frame rate: one frame per delay. The other containers
    // time every frame, in hundredths of a second as the GIF does.
    settings.timeUnit = avi ? delay : 1;
    settings.frameDelay = delay;
    settings.palette = firstPalette;
    settings.plays = PlaysOf(image);

    TExportProgress report(progress);
    std::string encoder;
    WriteFileAtomically(videoPath, [&](TStream& out) {
        TVideoWriter writer(out, settings);
        encoder = writer.EncoderName();
        const int count = image.Images().Count();
        int64_t time = 0;
        for (int i = 0; i < count; ++i) {
            report.Report(TProgressStage::psRunning, i * 100 / count);
            TGIFSubImage& frame = *image.Images().SubImage(i);
            const int64_t length = avi ? 1 : FrameDelay(frame, delay);
            // An empty frame leaves its time to the frame before it.
            if (const TBitmap* rendering = RenderingOf(frame)) {
                TBitmap picture = FitToSize(*rendering, settings.width, settings.height);
                frame.SetRenderedBitmap(nullptr);
                if (avi)
                    RenumberToPalette(picture, settings.palette);
                writer.WriteFrame(picture, time, length);
            }
            time += length;
        }
        writer.Finish();
    });
    report.Done();
    return encoder;
}

} // namespace animora
