// Rain: pixels of the last frame strewn at random over each
// affected frame, (k + 1) x P + 1 draws on frame k with P = (W x H) div 2.
#include <algorithm>
#include <bit>
#include <chrono>
#include <vector>

#include "effects/Effect.h"
#include "effects/PixelCopier.h"

namespace animora::effects {

uint64_t ClockSeed()
{
    return static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

namespace {

// xoshiro256++ (seeded through SplitMix64) for 64 random bits, used as two
// 32-bit numbers (the low half first), and Lemire's multiply-and-reject for
// exactly uniform numbers below a bound.
class TRainRandom {
public:
    explicit TRainRandom(uint64_t seed)
    {
        for (uint64_t& word : state_) {
            uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }

    // A column below `width`, then a row below `height` (both > 0).
    void Draw(uint32_t width, uint32_t height, uint32_t& x, uint32_t& y)
    {
        const uint64_t bits = Next64();
        x = Bounded(static_cast<uint32_t>(bits), width);
        y = Bounded(static_cast<uint32_t>(bits >> 32), height);
    }

private:
    uint32_t Bounded(uint32_t random, uint32_t bound)
    {
        uint64_t product = uint64_t{random} * bound;
        if (static_cast<uint32_t>(product) < bound) [[unlikely]] {
            const uint32_t threshold = (0u - bound) % bound;
            while (static_cast<uint32_t>(product) < threshold)
                product = uint64_t{static_cast<uint32_t>(Next64())} * bound;
        }
        return static_cast<uint32_t>(product >> 32);
    }

    uint64_t Next64()
    {
        const uint64_t result = std::rotl(state_[0] + state_[3], 23) + state_[0];
        const uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = std::rotl(state_[3], 45);
        return result;
    }

    uint64_t state_[4];
};

class TRain final : public TEffect {
public:
    explicit TRain(const TRainParams& params) : TEffect(params), random_(params.seed) {}

private:
    int StepExtent(int, int) const override { return 0; }  // no step: the draws grow with k

    void Draw(const TEffectStep& step) override
    {
        const int w = step.width, h = step.height;
        if (w <= 0 || h <= 0)
            return;
        const int64_t batch = int64_t{w} * h / 2;
        const int64_t draws = (step.k + 1) * batch + 1;
        // A draw copies the last frame's pixel at its own place, so the picture
        // depends only on which places were hit: mark them in a bit set (small
        // enough for the cache), then copy the marked pixels in one pass.
        hits_.assign(static_cast<size_t>((int64_t{w} * h + 63) / 64), 0);
        uint64_t* hits = hits_.data();
        TRainRandom random = random_;  // a local copy stays in registers: the set cannot alias it
        for (int64_t i = 0; i < draws; ++i) {
            uint32_t x, y;
            random.Draw(static_cast<uint32_t>(w), static_cast<uint32_t>(h), x, y);
            const uint64_t place = uint64_t{y} * static_cast<uint32_t>(w) + x;
            hits[place >> 6] |= uint64_t{1} << (place & 63);
        }
        random_ = random;
        // Places outside a smaller frame are ignored.
        const int tw = std::min(w, step.target.Width()), th = std::min(h, step.target.Height());
        TPixelCopier copier(step.source, step.target);
        for (size_t word = 0; word < hits_.size(); ++word)
            for (uint64_t bits = hits_[word]; bits != 0; bits &= bits - 1) {
                const uint64_t place = word * 64 + static_cast<uint64_t>(std::countr_zero(bits));
                const int x = static_cast<int>(place % static_cast<uint64_t>(w));
                const int y = static_cast<int>(place / static_cast<uint64_t>(w));
                if (x < tw && y < th)
                    copier.CopyPixel(x, y);
            }
    }

    std::vector<uint64_t> hits_;
    TRainRandom random_;  // seeded once per command
};

} // namespace

std::string CheckEffect(const TGIFImage& image, const TRainParams& params)
{
    return TRain(params).Check(image);
}

void RunEffect(TGIFImage& image, const TRainParams& params, const TEffectProgress& progress)
{
    TRain(params).Run(image, progress);
}

} // namespace animora::effects
