#include "color/ColorLookup.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace animora {

TFastColorLookup::TFastColorLookup(const TPalette& palette) : TColorLookup(0)
{
    Build(palette.Entries().data(), palette.Count());
}

TFastColorLookup::TFastColorLookup(const TPaletteEntry* entries, int count) : TColorLookup(0)
{
    Build(entries, count);
}

void TFastColorLookup::Build(const TPaletteEntry* entries, int count)
{
    colorCount_ = std::clamp(count, 0, 256);
    std::copy_n(entries, colorCount_, entries_.begin());
    searchRed_.fill(kBeyondColors);
    searchGreen_.fill(kBeyondColors);
    searchBlue_.fill(kBeyondColors);
    for (int i = 0; i < colorCount_; ++i) {
        searchRed_[i] = entries_[i].red;
        searchGreen_[i] = entries_[i].green;
        searchBlue_[i] = entries_[i].blue;
    }
    inverseCache_ = std::make_unique<int16_t[]>(kCacheSize);
    std::fill_n(inverseCache_.get(), kCacheSize, int16_t(-1));
    for (int i = 0; i < colorCount_; ++i) {
        int16_t& slot = inverseCache_[CacheKey(entries_[i].red, entries_[i].green, entries_[i].blue)];
        if (slot < 0)
            slot = static_cast<int16_t>(i);
    }
}

// Linear search, run at most once per cache cell. Only a strictly smaller
// distance wins, so among equal entries the lowest index is chosen. The
// smallest distance is found first over all 256 slots in 16-bit arithmetic
// (a distance is at most 3 * kBeyondColors), a loop of fixed length that the
// compiler vectorises eight or more lanes wide; the slots past the palette
// are farther than any colour and never win. Then the first entry at that
// distance.
int TFastColorLookup::SearchNearest(int red, int green, int blue) const
{
    const auto r = static_cast<int16_t>(red), g = static_cast<int16_t>(green), b = static_cast<int16_t>(blue);
    int16_t distances[256];
    int16_t smallest = INT16_MAX;
    for (int i = 0; i < 256; ++i) {
        auto dr = static_cast<int16_t>(searchRed_[i] - r);
        auto dg = static_cast<int16_t>(searchGreen_[i] - g);
        auto db = static_cast<int16_t>(searchBlue_[i] - b);
        dr = dr < 0 ? static_cast<int16_t>(-dr) : dr;
        dg = dg < 0 ? static_cast<int16_t>(-dg) : dg;
        db = db < 0 ? static_cast<int16_t>(-db) : db;
        const auto distance = static_cast<int16_t>(dr + dg + db);
        distances[i] = distance;
        smallest = distance < smallest ? distance : smallest;
    }
    for (int i = 0; i < colorCount_; ++i) {
        if (distances[i] == smallest)
            return i;
    }
    return 0;
}

TPreciseColorLookup::TPreciseColorLookup(const TPalette& palette) : TColorLookup(std::clamp(palette.Count(), 0, 256))
{
    std::copy_n(palette.Entries().data(), colorCount_, entries_.begin());
    for (int i = 0; i < colorCount_; ++i) {
        searchRed_[i] = entries_[i].red;
        searchGreen_[i] = entries_[i].green;
        searchBlue_[i] = entries_[i].blue;
    }
    cache_ = std::make_unique<int16_t[]>(kCacheSize);
    std::fill_n(cache_.get(), kCacheSize, int16_t(-1));
}

// Searched for the cell's centre, so the answer does not depend on which
// colour of the cell came first; the lowest index wins a tie.
int TPreciseColorLookup::SearchNearest(int red, int green, int blue) const
{
    int32_t distances[256];
    int32_t smallest = INT32_MAX;
    for (int i = 0; i < colorCount_; ++i) {
        const int32_t dr = searchRed_[i] - red, dg = searchGreen_[i] - green, db = searchBlue_[i] - blue;
        distances[i] = dr * dr + dg * dg + db * db;
        smallest = std::min(smallest, distances[i]);
    }
    for (int i = 0; i < colorCount_; ++i)
        if (distances[i] == smallest)
            return i;
    return 0;
}

} // namespace animora
