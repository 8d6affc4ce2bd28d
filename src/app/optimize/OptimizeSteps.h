#pragma once
// What "Optimize" does to the document image, apart from its window: the
// settings chosen, and the engine calls that carry them out. The engine's
// reduction and frame optimisation are reached only through the two
// functions at the bottom, so a stronger pass is switched in there.
#include <cstdint>

namespace animora {

class ProjectEdit;
class TGIFImage;

struct OptimizeChoice {
    uint8_t reductionMode = 0;  // a ColorReductionMode
    int reductionBits = 8;      // for the optimised modes
    // The optimised modes refine the octree palette (k-means passes); off,
    // they keep the plain octree palette. Kept on the image, so frames made
    // from pictures later follow it too.
    bool refinePalette = true;
    bool lzw = true;            // else run-length
    bool maxCompress = false;
    bool allFrames = true;
};

// Stores the settings on the image, compacts it when asked, and then either
// optimises every frame or reduces the colours of `currentFrame` alone.
// Records on `edit` what changed.
void RunOptimize(ProjectEdit& edit, const OptimizeChoice& choice, int currentFrame);

// The engine's work.
// Crops transparent borders, drops frames that become empty and sorts every
// colour map by use.
void OptimizeFrames(TGIFImage& image);
// The frame's picture reduced by the image's reduction mode, dither kind,
// bits and palette refinement; the frame keeps its timing and its other
// blocks.
void ReduceFrame(TGIFImage& image, int index);

} // namespace animora
