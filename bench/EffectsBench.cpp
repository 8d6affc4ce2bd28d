// The four transition effects, each over a 30-frame run of 640 x 480 frames,
// end to end: palette step, drawing and the write-back of every affected
// frame through SetRenderedBitmap. The goal is under 300 ms per effect.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "color/ColorTypes.h"
#include "effects/Effects.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

using namespace animora;
using namespace animora::effects;

namespace {

const std::filesystem::path kTestData = ANIMORA_TESTDATA_DIR;

// A photograph tiled over 640 x 480.
TBitmap Picture(const char* name)
{
    TBitmap tile;
    tile.LoadFromFile((kTestData / "pictures" / name).string());
    tile.SetPixelFormat(PixelFormat::pf24bit);
    TBitmap picture(640, 480, PixelFormat::pf24bit);
    TCanvas(picture).TileDraw({0, 0, 640, 480}, tile);
    return picture;
}

// 29 frames of one photograph and a last frame of another, each with its own
// optimised palette, so the palette step renders every affected frame again.
const TGIFImage& Run30()
{
    static TGIFImage* image = [] {
        auto* made = new TGIFImage;
        made->SetReductionMode(crOptimized);
        const TBitmap first = Picture("hibiscus.regular.bmp");
        const TBitmap last = Picture("hippopotamus.bmp");
        for (int i = 0; i < 29; ++i)
            made->Add(first);
        made->Add(last);
        return made;
    }();
    return *image;
}

template <typename Params>
void RunOver30Frames(benchmark::State& state, Params params)
{
    params.frameCount = 30;
    for (auto _ : state) {
        state.PauseTiming();
        TGIFImage image;
        image.Assign(Run30());
        state.ResumeTiming();
        RunEffect(image, params);
        benchmark::DoNotOptimize(image.Images().Count());
    }
    state.counters["frames"] = 29;
}

void BM_EffectFallWallSlide(benchmark::State& state) { RunOver30Frames(state, TFallWallParams{}); }
BENCHMARK(BM_EffectFallWallSlide)->Unit(benchmark::kMillisecond);

void BM_EffectFallWallSqueeze(benchmark::State& state)
{
    TFallWallParams params;
    params.mode = fmSqueeze;
    RunOver30Frames(state, params);
}
BENCHMARK(BM_EffectFallWallSqueeze)->Unit(benchmark::kMillisecond);

void BM_EffectRain(benchmark::State& state)
{
    TRainParams params;
    params.seed = 1;
    RunOver30Frames(state, params);
}
BENCHMARK(BM_EffectRain)->Unit(benchmark::kMillisecond);

void BM_EffectMoveApartScaled(benchmark::State& state)
{
    TMoveApartParams params;
    params.scale = true;
    RunOver30Frames(state, params);
}
BENCHMARK(BM_EffectMoveApartScaled)->Unit(benchmark::kMillisecond);

void BM_EffectLines(benchmark::State& state) { RunOver30Frames(state, TLinesParams{}); }
BENCHMARK(BM_EffectLines)->Unit(benchmark::kMillisecond);

} // namespace
