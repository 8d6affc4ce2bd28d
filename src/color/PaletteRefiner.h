#pragma once
// Moves the colours of an octree palette closer to the picture: a few passes
// of Lloyd's k-means over a sample of the picture's colours. The octree
// decides which part of colour space each entry covers by where it cut the
// cube, not by how far the colours lie from the entry; the passes let every
// entry settle at the mean of the colours nearest to it.
#include <vector>

#include "color/ColorTypes.h"

namespace animora {

class TDIBReader;

class TPaletteRefiner {
public:
    static constexpr int kPasses = 8;
    // At most this many pixels are sampled, evenly over the picture.
    static constexpr int kSamplePixels = 1 << 16;

    // Samples the reader's 24-bit picture.
    explicit TPaletteRefiner(TDIBReader& reader);

    // Refines `colors` in place. `fixed` are entries that stay as they are
    // (reserved system colours) but still take the pixels nearest to them.
    // Deterministic: the same picture and palette give the same result.
    void Refine(std::vector<TRGBQuad>& colors, const std::vector<TRGBQuad>& fixed = {}) const;

private:
    struct TSample {
        int red, green, blue;
        int weight;
    };
    std::vector<TSample> samples_;  // the sampled colours by cell: their mean and count
};

} // namespace animora
