#include "color/ReduceColors.h"

#include <algorithm>

#include "color/ColorPalettes.h"
#include "color/DIB.h"
#include "color/DitherEngine.h"

namespace animora {

namespace {

// Larger pictures first drop the (still empty) result to 1 bit, so that it
// never holds a second large picture while the new one is built.
constexpr int64_t kLargePicturePixels = 500000;
constexpr int kOctreeDepth = 8;

} // namespace

TPalette MakeReductionPalette(ColorReductionMode mode, TDIBReader& reader, const TPalette* customPalette,
                              int reductionBits, bool refine)
{
    switch (mode) {
    case crWindows20: return MakeStockPalette();
    case crWindows256: return MakeHalftonePalette();
    case crWindowsGray: return MakeWindowsGrayPalette();
    case crMonochrome: return MakeMonochromePalette();
    case crGrayScale: return MakeGrayPalette();
    case crNetscape: return MakeNetscapePalette();
    case crOptimized:
        return MakeOptimizedPalette(reader, 1 << std::clamp(reductionBits, 1, 8), kOctreeDepth, false, refine);
    case crOptimizedWindows: return MakeOptimizedPalette(reader, 256, kOctreeDepth, true, refine);
    case crCustomPalette: return customPalette ? *customPalette : TPalette();
    case crNone: break;
    }
    return TPalette();
}

std::unique_ptr<TColorLookup> MakeReductionLookup(ColorReductionMode mode, const TPalette& palette, bool refine)
{
    if (refine && (mode == crOptimized || mode == crOptimizedWindows))
        return std::make_unique<TPreciseColorLookup>(palette);
    switch (mode) {
    case crMonochrome: return std::make_unique<TMonochromeLookup>();
    case crGrayScale: return std::make_unique<TGrayScaleLookup>();
    case crNetscape: return std::make_unique<TNetscapeColorLookup>();
    case crWindows20:
    case crWindows256:
    case crWindowsGray:
    case crOptimized:
    case crOptimizedWindows:
    case crCustomPalette: return std::make_unique<TFastColorLookup>(palette);
    case crNone: break;
    }
    return nullptr;
}

std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& source, ColorReductionMode mode, DitherKind dither,
                                            const TPalette* customPalette, int reductionBits, bool refine)
{
    auto result = std::make_unique<TBitmap>();
    if (mode == crNone) {
        *result = source;
        result->SetPixelFormat(PixelFormat::pf24bit);
        return result;
    }
    const int width = source.Width();
    const int height = source.Height();
    if (static_cast<int64_t>(width) * height > kLargePicturePixels)
        result->SetPixelFormat(PixelFormat::pf1bit);

    TDIBReader reader(source, PixelFormat::pf24bit);
    if (mode > kLastReductionMode)
        return result;
    const TPalette palette = MakeReductionPalette(mode, reader, customPalette, reductionBits, refine);
    const std::unique_ptr<TColorLookup> lookup = MakeReductionLookup(mode, palette, refine);
    if (!lookup || lookup->ColorCount() == 0)
        return result;
    const std::unique_ptr<TDitherEngine> engine = MakeDitherEngine(dither, width, *lookup);
    if (!engine)
        return result;

    TDIBWriter writer(*result, PixelFormat::pf8bit, width, height, &palette);
    for (int row = 0; row < height; ++row) {
        engine->DitherRow(reader.GetRow(row), writer.GetRow(row));
        engine->NextRow();
    }
    writer.Finish();
    return result;
}

} // namespace animora
