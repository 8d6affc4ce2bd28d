#pragma once
// The error-diffusion engines. Each pixel's colour error (per channel, after
// clamping) is spread to neighbours not yet visited with the weights of a
// kernel; the errors a pixel receives are summed in integers and divided once
// by the kernel's divisor, rounding half up toward zero.
#include <array>
#include <vector>

#include "color/DitherEngine.h"

namespace animora {

// One kernel position: `row` rows below the current one, `column` columns
// ahead in the scan direction (negative = behind).
struct TKernelTap {
    int row;
    int column;
    int weight;
};

struct FloydSteinbergKernel {
    static constexpr int kDivisor = 16, kRows = 2, kMargin = 1;
    static constexpr TKernelTap kTaps[] = {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}};
};

// The three 5-by-3 kernels.
struct StuckiKernel {
    static constexpr int kDivisor = 42, kRows = 3, kMargin = 2;
    static constexpr TKernelTap kTaps[] = {
        {0, 1, 8}, {0, 2, 4},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
        {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1}};
};

struct SierraKernel {
    static constexpr int kDivisor = 32, kRows = 3, kMargin = 2;
    static constexpr TKernelTap kTaps[] = {
        {0, 1, 5}, {0, 2, 3},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
        {2, -1, 2}, {2, 0, 3}, {2, 1, 2}};
};

struct JarvisJudiceNinkeKernel {
    static constexpr int kDivisor = 48, kRows = 3, kMargin = 2;
    static constexpr TKernelTap kTaps[] = {
        {0, 1, 7}, {0, 2, 5},
        {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
        {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1}};
};

struct BurkesKernel {
    static constexpr int kDivisor = 32, kRows = 2, kMargin = 2;
    static constexpr TKernelTap kTaps[] = {
        {0, 1, 8}, {0, 2, 4},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}};
};

struct StevensonArceKernel {
    static constexpr int kDivisor = 200, kRows = 4, kMargin = 3;
    static constexpr TKernelTap kTaps[] = {
        {0, 2, 32},
        {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
        {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
        {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5}};
};

template <class Kernel>
constexpr int KernelWeightSum()
{
    int sum = 0;
    for (const TKernelTap& tap : Kernel::kTaps)
        sum += tap.weight;
    return sum;
}

// Error buffers: kRows rows (current, +1, ...) of width + 2 x margin entries,
// three channels interleaved per entry; column c lives at entry c + margin, so
// taps up to the margin outside the picture land in entries nobody reads.
template <class Lookup, class Kernel>
class TErrorDiffusionDitherer final : public TDitherEngine {
    static_assert(KernelWeightSum<Kernel>() == Kernel::kDivisor, "kernel weights must add up to the divisor");
    static constexpr int kRows = Kernel::kRows;
    static constexpr int kMargin = Kernel::kMargin;
    static constexpr int kRounding = Kernel::kDivisor / 2;

public:
    TErrorDiffusionDitherer(int width, Lookup& lookup)
        : TDitherEngine(width, lookup), typed_(lookup), stride_(3 * (static_cast<size_t>(width) + 2 * kMargin)),
          buffer_(stride_ * kRows, 0)
    {
        for (int r = 0; r < kRows; ++r)
            rows_[r] = buffer_.data() + r * stride_;
    }

    uint8_t DitherPixel(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        if (!ColumnInside()) // a caller running past the row: nowhere to keep errors
            return TDitherEngine::DitherPixel(red, green, blue, outRed, outGreen, outBlue);
        const uint8_t index = direction_ > 0 ? Diffuse<1>(column_, red, green, blue, outRed, outGreen, outBlue)
                                             : Diffuse<-1>(column_, red, green, blue, outRed, outGreen, outBlue);
        StepColumn();
        return index;
    }

    void DitherRow(const uint8_t* bgr, uint8_t* indices) override
    {
        if (direction_ > 0)
            RunRow<1>(bgr, indices);
        else
            RunRow<-1>(bgr, indices);
    }

    // The current row's errors are spent: clear it and make it the furthest.
    void NextRow() override
    {
        int* spent = rows_[0];
        std::fill(spent, spent + stride_, 0);
        for (int r = 0; r + 1 < kRows; ++r)
            rows_[r] = rows_[r + 1];
        rows_[kRows - 1] = spent;
        TDitherEngine::NextRow();
    }

private:
    template <int Dir>
    void RunRow(const uint8_t* bgr, uint8_t* indices)
    {
        int r, g, b;
        for (int c = column_; c >= 0 && c < width_; c += Dir) {
            const uint8_t* pixel = bgr + 3 * c;
            indices[c] = Diffuse<Dir>(c, pixel[2], pixel[1], pixel[0], r, g, b);
        }
        column_ = Dir > 0 ? width_ : -1;
    }

    static int Adjust(int input, int error)
    {
        const int adjusted = input + (error + kRounding) / Kernel::kDivisor; // truncates toward zero
        return adjusted < 0 ? 0 : (adjusted > 255 ? 255 : adjusted);
    }

    template <int Dir>
    uint8_t Diffuse(int column, int red, int green, int blue, int& outRed, int& outGreen, int& outBlue)
    {
        const int* here = rows_[0] + 3 * (column + kMargin);
        const int adjustedRed = Adjust(red, here[0]);
        const int adjustedGreen = Adjust(green, here[1]);
        const int adjustedBlue = Adjust(blue, here[2]);
        const uint8_t index = typed_.MatchColor(adjustedRed, adjustedGreen, adjustedBlue, outRed, outGreen, outBlue);
        const int errorRed = adjustedRed - outRed;
        const int errorGreen = adjustedGreen - outGreen;
        const int errorBlue = adjustedBlue - outBlue;
        if ((errorRed | errorGreen | errorBlue) == 0)
            return index;
        for (const TKernelTap& tap : Kernel::kTaps) {
            int* entry = rows_[tap.row] + 3 * (column + tap.column * Dir + kMargin);
            entry[0] += errorRed * tap.weight;
            entry[1] += errorGreen * tap.weight;
            entry[2] += errorBlue * tap.weight;
        }
        return index;
    }

    Lookup& typed_;
    size_t stride_;
    std::vector<int> buffer_;
    std::array<int*, kRows> rows_{};
};

template <class Lookup>
using TStuckiDitherer = TErrorDiffusionDitherer<Lookup, StuckiKernel>;
template <class Lookup>
using TSierraDitherer = TErrorDiffusionDitherer<Lookup, SierraKernel>;
template <class Lookup>
using TJaJuNiDitherer = TErrorDiffusionDitherer<Lookup, JarvisJudiceNinkeKernel>;
template <class Lookup>
using TBurkesDitherer = TErrorDiffusionDitherer<Lookup, BurkesKernel>;
template <class Lookup>
using TSteveArcheDitherer = TErrorDiffusionDitherer<Lookup, StevensonArceKernel>;

} // namespace animora
