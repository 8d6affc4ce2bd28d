#pragma once
// One axis of a smooth resampling with integer weights: area averaging when
// the axis shrinks (every source pixel counts by the share of it that a
// destination pixel covers), linear interpolation when it grows, and the
// pixels themselves when it keeps its size.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace animora::effects {

// The weights of one axis of a resampling from `sourceSize` to `destSize`
// pixels: destination pixel i is the sum of weight x source pixel over its
// taps, divided by kOne (the weights of each pixel add up to exactly kOne).
// Exposed for the tests.
class TResampleAxis {
public:
    static constexpr int kShift = 14;
    static constexpr uint32_t kOne = 1u << kShift;

    TResampleAxis(int sourceSize, int destSize);

    struct Tap {
        int source;
        uint32_t weight;
    };
    // The taps of destination pixel i (0 <= i < destSize).
    const Tap* Begin(int i) const { return taps_.data() + starts_[static_cast<size_t>(i)]; }
    const Tap* End(int i) const { return taps_.data() + starts_[static_cast<size_t>(i) + 1]; }
    // Every destination pixel is one source pixel (the sizes are equal).
    bool Identity() const { return identity_; }

private:
    // Scales the exact weights of the last pixel (their sum is `total`) to kOne.
    void Normalise(size_t start, uint64_t total);

    std::vector<Tap> taps_;
    std::vector<size_t> starts_;
    bool identity_ = false;
};

} // namespace animora::effects
