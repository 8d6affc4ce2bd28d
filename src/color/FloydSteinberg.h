#pragma once
// Floyd-Steinberg with one carried row. The weights are those of
// FloydSteinbergKernel (7 ahead; 3 behind, 5 below, 1 ahead in the next row)
// and the results identical to the kernel-table engine, but the errors of
// the current row live in three running values per channel instead of being
// added into buffers, which halves the memory traffic of the most used engine.
//
// At column c (direction d) the pixel reads the carried value of its own
// column, then completes the value of column c - d for the next row and
// stores it over the entry it no longer needs.
#include <vector>

#include "color/ErrorDiffusion.h"

namespace animora {

template <class Lookup>
class TFloydSteinbergDitherer final : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int width, Lookup& lookup)
        : TDitherEngine(width, lookup), typed_(lookup), carried_(3 * (static_cast<size_t>(width) + 2), 0)
    {
    }

    uint8_t DitherPixel(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        if (!ColumnInside()) // a caller running past the row: nowhere to keep errors
            return TDitherEngine::DitherPixel(red, green, blue, outRed, outGreen, outBlue);
        const int input[3] = {red, green, blue};
        int chosen[3];
        const uint8_t index = Step(column_, direction_, input, chosen, running_);
        outRed = chosen[0];
        outGreen = chosen[1];
        outBlue = chosen[2];
        StepColumn();
        return index;
    }

    void DitherRow(const uint8_t* bgr, uint8_t* indices) override
    {
        Running running = running_;
        const int d = direction_;
        int chosen[3];
        for (int c = column_; c >= 0 && c < width_; c += d) {
            const uint8_t* pixel = bgr + 3 * c;
            const int input[3] = {pixel[2], pixel[1], pixel[0]};
            indices[c] = Step(c, d, input, chosen, running);
        }
        running_ = running;
        column_ = d > 0 ? width_ : -1;
    }

    // The last column's value is complete once the row ends.
    void NextRow() override
    {
        const int last = column_ - direction_;
        if (last >= 0 && last < width_) {
            for (int ch = 0; ch < 3; ++ch)
                carried_[3 * (last + 1) + ch] = running_.behind[ch];
        }
        running_ = Running{};
        TDitherEngine::NextRow();
    }

private:
    static constexpr int kDivisor = FloydSteinbergKernel::kDivisor;
    static constexpr int kRounding = kDivisor / 2;

    struct Running {
        int ahead[3] = {0, 0, 0};  // error of the previous pixel of the row
        int behind[3] = {0, 0, 0}; // next-row value of the previous column so far
        int below[3] = {0, 0, 0};  // next-row value of this column so far
    };

    uint8_t Step(int c, int d, const int input[3], int chosen[3], Running& running)
    {
        int* own = &carried_[3 * (c + 1)];
        int adjusted[3];
        for (int ch = 0; ch < 3; ++ch) {
            const int value = input[ch] + (7 * running.ahead[ch] + own[ch] + kRounding) / kDivisor;
            adjusted[ch] = value < 0 ? 0 : (value > 255 ? 255 : value);
        }
        const uint8_t index = typed_.MatchColor(adjusted[0], adjusted[1], adjusted[2], chosen[0], chosen[1], chosen[2]);
        int* behind = &carried_[3 * (c - d + 1)];
        for (int ch = 0; ch < 3; ++ch) {
            const int error = adjusted[ch] - chosen[ch];
            behind[ch] = running.behind[ch] + 3 * error; // column c - d is complete
            running.behind[ch] = running.below[ch] + 5 * error;
            running.below[ch] = error;
            running.ahead[ch] = error;
        }
        return index;
    }

    Lookup& typed_;
    std::vector<int> carried_; // entry c + 1 for column c
    Running running_;
};

} // namespace animora
