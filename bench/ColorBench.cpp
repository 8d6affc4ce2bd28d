// Speed and quality of the colour reduction: every mode with the plain engine
// and with Floyd-Steinberg, on a real picture and on a full-HD picture tiled
// from it. Reports megapixels per second and the PSNR of the result against
// the original (in dB; infinite when unchanged).
#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <string>

#include "color/ReduceColors.h"
#include "platform/Bitmap.h"
#include "platform/Palette.h"

using namespace animora;

namespace {

TBitmap LoadHibiscus()
{
    TBitmap picture;
    picture.LoadFromFile(std::string(ANIMORA_TESTDATA_DIR) + "/pictures/hibiscus.regular.bmp");
    picture.SetPixelFormat(PixelFormat::pf24bit);
    return picture;
}

TBitmap Tile(const TBitmap& tile, int width, int height)
{
    TBitmap picture(width, height, PixelFormat::pf24bit);
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = tile.ScanLine(y % tile.Height());
        uint8_t* to = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = from + 3 * (x % tile.Width());
            to[3 * x] = pixel[0];
            to[3 * x + 1] = pixel[1];
            to[3 * x + 2] = pixel[2];
        }
    }
    return picture;
}

double PSNR(const TBitmap& original, const TBitmap& reduced)
{
    double squares = 0;
    for (int y = 0; y < original.Height(); ++y) {
        for (int x = 0; x < original.Width(); ++x) {
            const TColor a = original.PixelColor(x, y);
            const TColor b = reduced.PixelColor(x, y);
            const double dr = ColorRed(a) - ColorRed(b), dg = ColorGreen(a) - ColorGreen(b),
                         db = ColorBlue(a) - ColorBlue(b);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = squares / (3.0 * original.Width() * original.Height());
    return mse == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mse);
}

const TBitmap& Hibiscus()
{
    static const TBitmap picture = LoadHibiscus();
    return picture;
}

const TBitmap& FullHD()
{
    static const TBitmap picture = Tile(Hibiscus(), 1920, 1080);
    return picture;
}

using PictureSource = const TBitmap& (*)();

void BM_Reduce(benchmark::State& state, PictureSource pictureSource, ColorReductionMode mode, DitherKind dither)
{
    const TBitmap* picture = &pictureSource();
    static const TPalette custom = SixteenColorPalette();
    TBitmap source = *picture; // already 24 bits: the driver leaves it as it is
    std::unique_ptr<TBitmap> result;
    for (auto _ : state) {
        result = ReduceBitmapColors(source, mode, dither, &custom, 8);
        benchmark::DoNotOptimize(result.get());
    }
    const double pixels = static_cast<double>(picture->Width()) * picture->Height();
    state.counters["MP/s"] = benchmark::Counter(pixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    state.counters["PSNR"] = PSNR(*picture, *result);
}

// Registered at start-up; the pictures load when the first benchmark runs.
bool RegisterAll()
{
    const struct {
        const char* name;
        PictureSource picture;
    } pictures[] = {{"hibiscus", &Hibiscus}, {"1920x1080", &FullHD}};
    const char* modeNames[] = {"None",      "Windows20", "Windows256", "WindowsGray",      "Monochrome",
                               "GrayScale", "Netscape",  "Optimized",  "OptimizedWindows", "Custom16"};
    for (const auto& picture : pictures) {
        for (int mode = 0; mode <= kLastReductionMode; ++mode) {
            for (DitherKind dither : {dkNearest, dkFloydSteinberg}) {
                const std::string name = std::string("Reduce/") + picture.name + "/" + modeNames[mode] +
                                         (dither == dkNearest ? "/Nearest" : "/FloydSteinberg");
                benchmark::RegisterBenchmark(name.c_str(), BM_Reduce, picture.picture,
                                             static_cast<ColorReductionMode>(mode), dither)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.2);
            }
        }
    }
    return true;
}

const bool registered = RegisterAll();

} // namespace
