// A GIF's frames written as a video: each frame as the GIF shows it (drawn
// over the frames before it), cut to frame 0's area, in the container the
// file's extension names.
#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "formats/Picture.h"
#include "formats/Video.h"
#include "formats/VideoWriter.h"
#include "gif/AppExtension.h"
#include "gif/Composition.h"
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

// The colour transparent areas and restored backgrounds show, as the
// painter resolves it.
TColor ScreenBackground(TGIFImage& image)
{
    if (image.BackdropColor() != kNoBackdrop)
        return image.BackdropColor();
    if (image.Header().ColorMap().Count() == 0)
        return kWindowColor;
    return image.Header().BackgroundColor();
}

// The frames as the GIF shows them: each drawn over what the frames before
// left, by their disposal methods, on a screen-sized picture. A video frame
// is the part of the screen frame 0 covers, so frames of other sizes and
// places keep their place (an optimised GIF's later frames are small
// patches, which alone would be no picture at all).
class TScreenFrames {
public:
    explicit TScreenFrames(TGIFImage& image)
        : image_(image), screen_(image.GetWidth(), image.GetHeight(), PixelFormat::pf24bit), canvas_(screen_),
          area_(FirstFrameArea(image))
    {
        canvas_.FillRect(Bounds(0, 0, screen_.Width(), screen_.Height()), ScreenBackground(image));
        composition_ = std::make_unique<TGIFComposition>(image, image.DrawOptions(),
                                                         Bounds(0, 0, screen_.Width(), screen_.Height()), canvas_);
    }
    // Frame 0's rectangle within the screen.
    static TRect FirstFrameArea(const TGIFImage& image)
    {
        const TRect frame = image.Images().SubImage(0)->BoundsRect();
        return {std::min(frame.left, image.GetWidth()), std::min(frame.top, image.GetHeight()),
                std::min(frame.right, image.GetWidth()), std::min(frame.bottom, image.GetHeight())};
    }
    int Width() const { return area_.right - area_.left; }
    int Height() const { return area_.bottom - area_.top; }

    // Draws frame i and answers the video frame: frame 0's area, 24 bits.
    const TBitmap& Paint(int index)
    {
        TGIFSubImage& frame = *image_.Images().SubImage(index);
        const int disposal = FrameDisposal(frame);
        composition_->Paint(index, disposal, previousDisposal_);
        previousDisposal_ = disposal;
        // The rendering is a cache; a long animation would be held twice.
        frame.SetRenderedBitmap(nullptr);
        if (picture_.Width() != Width() || picture_.Height() != Height())
            picture_ = TBitmap(Width(), Height(), PixelFormat::pf24bit);
        for (int y = 0; y < Height(); ++y)
            std::memcpy(picture_.ScanLine(y), screen_.ScanLine(area_.top + y) + 3 * size_t(area_.left),
                        3 * size_t(Width()));
        return picture_;
    }

private:
    TGIFImage& image_;
    TBitmap screen_;
    TCanvas canvas_;
    TRect area_;
    std::unique_ptr<TGIFComposition> composition_;
    int previousDisposal_ = 1;
    TBitmap picture_;
};

// An AVI has one colour table, frame 0's: every picture takes the nearest of
// its colours (frame 0's own colours exactly).
class TPaletteMapper {
public:
    explicit TPaletteMapper(const TPalette& palette) : palette_(palette)
    {
        for (int i = palette.Count() - 1; i >= 0; --i)
            known_[palette[i].Color()] = static_cast<uint8_t>(i);
    }
    void Map(const TBitmap& picture, TBitmap& indexed)
    {
        if (indexed.Width() != picture.Width() || indexed.Height() != picture.Height()) {
            indexed = TBitmap(picture.Width(), picture.Height(), PixelFormat::pf8bit);
            indexed.SetPalette(palette_);
        }
        for (int y = 0; y < picture.Height(); ++y) {
            const uint8_t* in = picture.ScanLine(y);
            uint8_t* out = indexed.ScanLine(y);
            for (int x = 0; x < picture.Width(); ++x, in += 3)
                out[x] = IndexOf(MakeColor(in[2], in[1], in[0]));
        }
    }

private:
    uint8_t IndexOf(TColor color)
    {
        if (color == lastColor_)
            return lastIndex_;
        auto found = known_.find(color);
        if (found == known_.end()) {
            if (known_.size() > kMaxKnown)
                known_.clear();  // a bound on memory; the nearest is found again
            const int nearest = palette_.NearestIndex(ColorRed(color), ColorGreen(color), ColorBlue(color));
            found = known_.emplace(color, static_cast<uint8_t>(std::max(nearest, 0))).first;
        }
        lastColor_ = color;
        lastIndex_ = found->second;
        return lastIndex_;
    }

    static constexpr size_t kMaxKnown = size_t{1} << 20;
    const TPalette& palette_;
    std::unordered_map<TColor, uint8_t> known_;
    TColor lastColor_ = 0xFFFFFFFF;
    uint8_t lastIndex_ = 0;
};

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
    const TGIFSubImage* firstFrame = image.Images().Count() > 0 ? image.Images().SubImage(0) : nullptr;
    const TBitmap* first = firstFrame && !firstFrame->IsEmpty() ? firstFrame->RenderedBitmap() : nullptr;
    if (!first || first->Empty() || first->GetPixelFormat() != PixelFormat::pf8bit)
        throw EVideoError("Failed to retrieve bitmap info");
    const TPalette firstPalette = first->Palette();
    const bool avi = *kind == VideoKind::vkAVI;
    const uint16_t delay = ExportFrameDelay(image);
    TVideoSettings settings;
    settings.kind = *kind;
    const TRect area = TScreenFrames::FirstFrameArea(image);
    settings.width = area.right - area.left;
    settings.height = area.bottom - area.top;
    if (settings.width <= 0 || settings.height <= 0)
        throw EVideoError("Failed to retrieve bitmap info");
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
        TScreenFrames screen(image);
        TPaletteMapper mapper(settings.palette);
        TBitmap indexed;
        const int count = image.Images().Count();
        int64_t time = 0;
        for (int i = 0; i < count; ++i) {
            report.Report(TProgressStage::psRunning, i * 100 / count);
            const TGIFSubImage& frame = *image.Images().SubImage(i);
            const int64_t length = avi ? 1 : FrameDelay(frame, delay);
            // An empty frame leaves its time to the frame before it.
            if (!frame.IsEmpty()) {
                const TBitmap& picture = screen.Paint(i);
                if (avi)
                    mapper.Map(picture, indexed);
                writer.WriteFrame(avi ? indexed : picture, time, length);
            }
            time += length;
        }
        writer.Finish();
    });
    report.Done();
    return encoder;
}

} // namespace animora
