#include "effects/ResampleAxis.h"

#include <algorithm>

namespace animora::effects {

TResampleAxis::TResampleAxis(int sourceSize, int destSize)
{
    starts_.reserve(static_cast<size_t>(destSize) + 1);
    const int64_t s = sourceSize, d = destSize;
    identity_ = s == d;
    for (int i = 0; i < destSize; ++i) {
        const size_t start = taps_.size();
        starts_.push_back(start);
        if (s == d) {
            taps_.push_back({i, kOne});
        } else if (d < s) {
            // Area averaging: destination pixel i covers [i s, (i + 1) s) and
            // source pixel j covers [j d, (j + 1) d), in units of 1 / d source pixels.
            const int64_t begin = i * s, end = (i + 1) * s;
            for (int64_t j = begin / d; j * d < end; ++j) {
                const int64_t overlap = std::min(end, (j + 1) * d) - std::max(begin, j * d);
                taps_.push_back({static_cast<int>(j), static_cast<uint32_t>(overlap)});
            }
            Normalise(start, static_cast<uint64_t>(s));
        } else {
            // Linear: the centre of pixel i lies at ((2i + 1) s - d) / 2d source pixels.
            const int64_t position = (2 * i + 1) * s - d;
            const int64_t j = position >= 0 ? position / (2 * d) : -((-position + 2 * d - 1) / (2 * d));
            const int64_t fraction = position - j * 2 * d;
            const auto clamp = [&](int64_t index) { return static_cast<int>(std::clamp<int64_t>(index, 0, s - 1)); };
            taps_.push_back({clamp(j), static_cast<uint32_t>(2 * d - fraction)});
            if (fraction > 0)
                taps_.push_back({clamp(j + 1), static_cast<uint32_t>(fraction)});
            Normalise(start, static_cast<uint64_t>(2 * d));
        }
    }
    starts_.push_back(taps_.size());
}

void TResampleAxis::Normalise(size_t start, uint64_t total)
{
    // Each weight rounded down, the shortfall given to the largest weight.
    uint32_t sum = 0;
    size_t largest = start;
    for (size_t t = start; t < taps_.size(); ++t) {
        taps_[t].weight = static_cast<uint32_t>(uint64_t{taps_[t].weight} * kOne / total);
        sum += taps_[t].weight;
        if (taps_[t].weight > taps_[largest].weight)
            largest = t;
    }
    taps_[largest].weight += kOne - sum;
}

} // namespace animora::effects
