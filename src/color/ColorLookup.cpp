#include "color/ColorLookup.h"

#include <algorithm>
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
    inverseCache_ = std::make_unique<int16_t[]>(kCacheSize);
    std::fill_n(inverseCache_.get(), kCacheSize, int16_t(-1));
    for (int i = 0; i < colorCount_; ++i) {
        int16_t& slot = inverseCache_[CacheKey(entries_[i].red, entries_[i].green, entries_[i].blue)];
        if (slot < 0)
            slot = static_cast<int16_t>(i);
    }
}

// Linear search, run at most once per cache cell. Only a strictly smaller
// distance wins, so among equal entries the lowest index is chosen.
int TFastColorLookup::SearchNearest(int red, int green, int blue) const
{
    int best = 0;
    int bestDistance = 0x30000;
    for (int i = 0; i < colorCount_; ++i) {
        const TPaletteEntry& entry = entries_[i];
        const int distance = std::abs(entry.red - red) + std::abs(entry.green - green) + std::abs(entry.blue - blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace animora
