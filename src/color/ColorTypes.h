#pragma once
// The two colour-reduction settings that images, the optimiser and the
// command line share. Both are stored as one byte; values outside the named
// range can reach the engine from files and settings and must be tolerated.
#include <cstdint>

namespace animora {

enum ColorReductionMode : uint8_t {
    crNone = 0,             // stays true colour (24 bits)
    crWindows20 = 1,        // the 20 stock system colours
    crWindows256 = 2,       // the 256-entry halftone palette
    crWindowsGray = 3,      // 4 grays
    crMonochrome = 4,       // black and white
    crGrayScale = 5,        // 256 grays
    crNetscape = 6,         // the 6x6x6 colour cube
    crOptimized = 7,        // octree palette of 2^bits colours of the picture
    crOptimizedWindows = 8, // 20 system colours plus 236 octree colours
    crCustomPalette = 9,    // a palette supplied by the caller
};
constexpr int kLastReductionMode = crCustomPalette;

enum DitherKind : uint8_t {
    dkNearest = 0,
    dkFloydSteinberg = 1,
    dkStucki = 2,
    dkSierra = 3,
    dkJarvisJudiceNinke = 4,
    dkStevensonArce = 5,
    dkBurkes = 6,
};
constexpr int kLastDitherKind = dkBurkes;

} // namespace animora

namespace animora {

// A colour-table entry of a device-independent bitmap, in file order.
struct TRGBQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

} // namespace animora
