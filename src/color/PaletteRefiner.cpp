#include "color/PaletteRefiner.h"

#include <algorithm>
#include <cstdint>

#include "color/DIB.h"
#include "platform/Bitmap.h"

namespace animora {

namespace {

struct TCenter {
    int red, green, blue;
    int slot;  // index into the refined colours, or -1 for a fixed one
};

int Distance(const TCenter& c, int red, int green, int blue)
{
    const int dr = c.red - red, dg = c.green - green, db = c.blue - blue;
    return dr * dr + dg * dg + db * db;
}

// Centres sorted by green: the search walks out from the sample's green and
// stops once green alone is farther than the best found.
size_t Nearest(const std::vector<TCenter>& centers, int red, int green, int blue)
{
    const auto start = std::lower_bound(centers.begin(), centers.end(), green,
                                        [](const TCenter& c, int g) { return c.green < g; });
    size_t best = 0;
    int bestDistance = INT32_MAX;
    size_t up = static_cast<size_t>(start - centers.begin());
    size_t down = up;
    bool moreUp = up < centers.size(), moreDown = down > 0;
    while (moreUp || moreDown) {
        if (moreUp) {
            const TCenter& c = centers[up];
            const int dg = c.green - green;
            if (dg * dg >= bestDistance) {
                moreUp = false;
            } else {
                const int d = Distance(c, red, green, blue);
                if (d < bestDistance)
                    bestDistance = d, best = up;
                moreUp = ++up < centers.size();
            }
        }
        if (moreDown) {
            const TCenter& c = centers[down - 1];
            const int dg = green - c.green;
            if (dg * dg >= bestDistance) {
                moreDown = false;
            } else {
                const int d = Distance(c, red, green, blue);
                if (d < bestDistance)
                    bestDistance = d, best = down - 1;
                moreDown = --down > 0;
            }
        }
    }
    return best;
}

} // namespace

TPaletteRefiner::TPaletteRefiner(TDIBReader& reader)
{
    const int width = reader.Bitmap().Width();
    const int height = reader.Bitmap().Height();
    const int64_t pixels = int64_t{width} * height;
    if (pixels <= 0)
        return;
    // Sampled colours are gathered in cells of 6 bits per component, each
    // cell standing for its colours by their mean and count: a photograph
    // fills some ten thousand cells, and every pass visits each cell once.
    struct TCell {
        int32_t red = 0, green = 0, blue = 0, count = 0;
    };
    std::vector<TCell> cells(size_t{1} << 18);
    const int64_t step = std::max<int64_t>(1, pixels / kSamplePixels);
    for (int64_t k = 0; k < pixels; k += step) {
        const uint8_t* bgr = reader.GetRow(static_cast<int>(k / width)) + 3 * (k % width);
        TCell& cell = cells[static_cast<size_t>((bgr[2] >> 2) << 12 | (bgr[1] >> 2) << 6 | (bgr[0] >> 2))];
        cell.red += bgr[2];
        cell.green += bgr[1];
        cell.blue += bgr[0];
        ++cell.count;
    }
    for (const TCell& cell : cells)
        if (cell.count > 0)
            samples_.push_back({(cell.red + cell.count / 2) / cell.count, (cell.green + cell.count / 2) / cell.count,
                                (cell.blue + cell.count / 2) / cell.count, cell.count});
}

void TPaletteRefiner::Refine(std::vector<TRGBQuad>& colors, const std::vector<TRGBQuad>& fixed) const
{
    if (samples_.empty() || colors.empty())
        return;
    struct TSum {
        int64_t red = 0, green = 0, blue = 0, weight = 0;
    };
    std::vector<int> assigned(samples_.size(), -1);  // the centre a sample went to in the last pass
    for (int pass = 0; pass < kPasses; ++pass) {
        std::vector<TCenter> centers;
        for (size_t i = 0; i < colors.size(); ++i)
            centers.push_back({colors[i].red, colors[i].green, colors[i].blue, static_cast<int>(i)});
        for (const TRGBQuad& f : fixed)
            centers.push_back({f.red, f.green, f.blue, -1});
        // A sample no farther from its last centre than half the way to that
        // centre's nearest neighbour cannot be nearer to any other centre.
        std::vector<int> halfway(centers.size(), INT32_MAX);
        for (size_t a = 0; a < centers.size(); ++a)
            for (size_t b = 0; b < centers.size(); ++b)
                if (a != b)
                    halfway[a] = std::min(halfway[a], Distance(centers[a], centers[b].red, centers[b].green, centers[b].blue) / 4);
        std::vector<TCenter> sorted = centers;
        for (size_t i = 0; i < sorted.size(); ++i)
            sorted[i].slot = static_cast<int>(i);  // here: the position in `centers`
        std::stable_sort(sorted.begin(), sorted.end(), [](const TCenter& a, const TCenter& b) { return a.green < b.green; });
        std::vector<TSum> sums(colors.size());
        for (size_t k = 0; k < samples_.size(); ++k) {
            const TSample& s = samples_[k];
            int& center = assigned[k];
            if (center < 0 || Distance(centers[static_cast<size_t>(center)], s.red, s.green, s.blue) >
                                  halfway[static_cast<size_t>(center)])
                center = sorted[Nearest(sorted, s.red, s.green, s.blue)].slot;
            const int slot = centers[static_cast<size_t>(center)].slot;
            if (slot < 0)
                continue;
            TSum& sum = sums[static_cast<size_t>(slot)];
            sum.red += int64_t{s.red} * s.weight;
            sum.green += int64_t{s.green} * s.weight;
            sum.blue += int64_t{s.blue} * s.weight;
            sum.weight += s.weight;
        }
        bool moved = false;
        for (size_t i = 0; i < colors.size(); ++i) {
            const TSum& sum = sums[i];
            if (sum.weight == 0)
                continue;  // an entry no sampled colour chose keeps its place
            const auto mean = [&](int64_t total) { return static_cast<uint8_t>((total + sum.weight / 2) / sum.weight); };
            const TRGBQuad next{mean(sum.blue), mean(sum.green), mean(sum.red), 0};
            moved = moved || next.red != colors[i].red || next.green != colors[i].green || next.blue != colors[i].blue;
            colors[i] = next;
        }
        if (!moved)
            break;
    }
}

} // namespace animora
