// A video becomes an animated GIF, frame by frame: each decoded frame is
// reduced and added as a frame with its delay, and nothing of the video but
// the frame at hand is held.
#include <algorithm>

#include "color/ColorTypes.h"
#include "formats/Video.h"
#include "formats/VideoPipeline.h"
#include "formats/VideoReader.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Stream.h"

namespace animora {

namespace {

const std::string kImporting = "Importing video...";

// A GIF built in memory holds every frame's pixels: beyond this it would
// hold more than a gigabyte, and the import is refused.
constexpr int64_t kMaxImportPixels = int64_t{1} << 30;

// Progress of one run; a handler that stops the run still hears the end.
class TImportProgress {
public:
    TImportProgress(const TVideoProgress& handler, int64_t expectedFrames)
        : handler_(handler), expected_(expectedFrames)
    {
        Report(TProgressStage::psStarting, 0);
    }
    ~TImportProgress()
    {
        try {
            Report(TProgressStage::psEnding, done_ ? 100 : 0);
        } catch (...) {
            // the run is over either way
        }
    }
    void FrameDone(int frames)
    {
        const int64_t percent = expected_ > 0 ? int64_t{frames} * 100 / expected_ : 0;
        Report(TProgressStage::psRunning, static_cast<int>(std::clamp<int64_t>(percent, 0, 100)));
    }
    void Done() { done_ = true; }

private:
    void Report(TProgressStage stage, int percent)
    {
        if (handler_)
            handler_(stage, percent, kImporting);
    }
    const TVideoProgress& handler_;
    int64_t expected_;
    bool done_ = false;
};

// A file that cannot be read is a video that cannot be opened.
std::unique_ptr<TFileStream> OpenVideoFile(const std::string& path)
{
    try {
        return std::make_unique<TFileStream>(path, FileMode::OpenRead);
    } catch (const EStreamError&) {
        throw EVideoError("Failed to open AVI file");
    }
}

TGIFImage& PrepareImage(TGIFImage& image)
{
    image.SetReductionMode(crOptimizedWindows);
    image.SetDitherStyle(dkFloydSteinberg);
    // Refining every frame's palette would make a long video slow to open.
    image.SetRefinePalette(false);
    return image;
}

// Adds the picture as the image's last frame: reduced by the image's
// settings, with the delay, and on the first frame of the video the endless
// looping block.
void AddVideoFrame(TGIFImage& image, TBitmap& picture, uint16_t delay, bool first)
{
    const int index = image.Add(picture);
    TGIFSubImage& frame = *image.Images().SubImage(index);
    // The reduced picture stays as the frame's rendering; a video of many
    // frames would hold every picture twice.
    frame.SetRenderedBitmap(nullptr);
    if (first) {
        auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
        loop->SetLoops(0);
        frame.Extensions().Append(std::move(loop));
    }
    auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
    control->SetDelay(delay);
    frame.Extensions().Append(std::move(control));
}

// Decodes every frame, has `work` done on it by the workers, and hands the
// results to `take` in the video's order. Raises "Failed to decompress AVI
// frame" for a video without frames.
template <typename Result, typename Take>
void RunImport(TVideoReader& reader, TImportProgress& report, typename TOrderedFrameWork<Result>::Work work,
               Take take)
{
    TOrderedFrameWork<Result> workers(std::move(work));
    int taken = 0;
    auto takeOne = [&] {
        take(workers.TakeNext(), taken);
        report.FrameDone(++taken);
    };
    TBitmap picture;
    while (reader.ReadFrame(picture)) {
        workers.Submit(std::move(picture));
        picture = TBitmap();
        while (workers.Pending() >= workers.Capacity())
            takeOne();
    }
    while (workers.Pending() > 0)
        takeOne();
    if (taken == 0)
        throw EVideoError("Failed to decompress AVI frame");
}

} // namespace

std::unique_ptr<TGIFImage> ImportAvi(const std::string& videoPath, const TVideoProgress& progress)
{
    const auto file = OpenVideoFile(videoPath);
    TVideoReader reader(*file);
    TImportProgress report(progress, reader.ExpectedFrames());
    auto image = std::make_unique<TGIFImage>();
    PrepareImage(*image);
    const int bits = image->ReductionBits();
    int64_t pixels = 0;
    RunImport<std::unique_ptr<TBitmap>>(
        reader, report,
        [bits](TBitmap& picture, int) { return ReduceFrameColors(picture, crOptimizedWindows, dkFloydSteinberg, bits, false); },
        [&](std::unique_ptr<TBitmap> reduced, int index) {
            pixels += int64_t{reduced->Width()} * reduced->Height();
            if (pixels > kMaxImportPixels)
                throw EOutOfMemory("The video is too long to open as one image");
            AddVideoFrame(*image, *reduced, reader.FrameDelay(), index == 0);
        });
    report.Done();
    return image;
}

void ImportAviToFile(const std::string& videoPath, const std::string& gifPath, const TVideoProgress& progress)
{
    const auto file = OpenVideoFile(videoPath);
    TVideoReader reader(*file);
    TImportProgress report(progress, reader.ExpectedFrames());
    const uint16_t delay = reader.FrameDelay();
    // Each frame is encoded on its own, in an image of its own, and its bytes
    // written in order: the file never holds more than the frames in flight.
    // The header goes out with the first frame, whose size is the screen's.
    auto encode = [delay](TBitmap& picture, int index) {
        TGIFImage image;
        PrepareImage(image);
        AddVideoFrame(image, picture, delay, index == 0);
        TMemoryStream bytes;
        if (index == 0)
            image.Header().WriteToStream(bytes);
        image.Images().SubImage(0)->WriteToStream(bytes);
        return std::move(bytes.Bytes());
    };
    WriteFileAtomically(gifPath, [&](TStream& out) {
        RunImport<std::vector<uint8_t>>(reader, report, encode, [&](const std::vector<uint8_t>& bytes, int) {
            out.WriteBuffer(bytes.data(), bytes.size());
        });
        TGIFTrailer(nullptr).WriteToStream(out);
    });
    report.Done();
}

} // namespace animora
