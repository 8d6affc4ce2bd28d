// Frames and bitmaps: rendering every frame of a long animation, and turning a
// full-HD photograph into a frame with an optimised palette and
// Floyd-Steinberg dithering.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "color/ColorTypes.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

using namespace animora;

namespace {

const std::filesystem::path kTestData = ANIMORA_TESTDATA_DIR;

void BM_RenderEveryFrame(benchmark::State& state)
{
    TGIFImage image;
    image.LoadFromFile((kTestData / "corpus" / "gifplayer-muybridge.gif").string());
    int64_t pixels = 0;
    for (auto _ : state) {
        for (int i = 0; i < image.Images().Count(); ++i) {
            TGIFSubImage& frame = *image.Images().SubImage(i);
            frame.SetRenderedBitmap(nullptr);
            const TBitmap* bitmap = frame.RenderedBitmap();
            benchmark::DoNotOptimize(bitmap);
            frame.HasMask();
            pixels += static_cast<int64_t>(frame.Width()) * frame.Height();
        }
    }
    state.counters["frames"] = image.Images().Count();
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderEveryFrame)->Unit(benchmark::kMillisecond);

// The photograph tiled over 1920 x 1080.
TBitmap FullHDPicture()
{
    TBitmap tile;
    tile.LoadFromFile((kTestData / "pictures" / "hibiscus.regular.bmp").string());
    tile.SetPixelFormat(PixelFormat::pf24bit);
    TBitmap picture(1920, 1080, PixelFormat::pf24bit);
    TCanvas(picture).TileDraw({0, 0, 1920, 1080}, tile);
    return picture;
}

void BM_PictureToFrameOptimizedFloydSteinberg(benchmark::State& state)
{
    const TBitmap picture = FullHDPicture();
    for (auto _ : state) {
        TGIFImage image;
        image.SetReductionMode(crOptimized);
        image.SetReductionBits(8);
        image.SetDitherStyle(dkFloydSteinberg);
        image.Add(picture);
        benchmark::DoNotOptimize(image.Images().SubImage(0)->Data());
    }
    state.counters["Mpixels/s"] =
        benchmark::Counter(1920.0 * 1080.0 / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PictureToFrameOptimizedFloydSteinberg)->Unit(benchmark::kMillisecond);

} // namespace
