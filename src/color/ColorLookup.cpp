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
// distance wins, so among equal entries the lowest index is chosen. Each slot
// is ranked by its distance and then its index in one number (distance * 256
// + slot), so the answer is the smallest rank over all 256 slots: a loop of
// fixed length without branches, which the compiler vectorises. The distance
// is at most 3 * kBeyondColors, so the rank fits easily; the slots past the
// palette are farther than any colour and never win (with no palette at all,
// slot 0 does).
// Processors with AVX2 take the search twice as many lanes at a time as the
// baseline; the arithmetic, and so the answer, is the same. The loader picks
// the version before the sanitizers' runtimes start, and their instrumented
// picker would crash there, so sanitizer builds have the baseline only.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) && \
    !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
int TFastColorLookup::SearchNearest(int red, int green, int blue) const
{
    int best = INT32_MAX;
    for (int i = 0; i < 256; ++i) {
        const int distance = std::abs(searchRed_[i] - red) + std::abs(searchGreen_[i] - green) +
                             std::abs(searchBlue_[i] - blue);
        const int rank = (distance << 8) | i;
        best = rank < best ? rank : best;
    }
    return best & 0xFF;
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
