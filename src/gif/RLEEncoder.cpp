// Run-length coding that any GIF decoder reads. The encoder keeps no string
// table; it only tracks how the decoder's table grows. Right after a clear
// code, sending pixel p and then the codes first free + 0, first free + 1, ...
// makes the decoder define those codes as runs of p of length 2, 3, ...: the
// "triangle". Later runs of the same pixel reuse the longest such code
// (TableRunMax); other runs are sent pixel by pixel, or from a new clear when
// the triangle costs fewer codes.
#include "gif/Encoders.h"

namespace animora {

int64_t IntegerSquareRoot(int64_t x)
{
    if (x < 2)
        return x;
    int64_t r = 1;
    for (int64_t v = x; v != 0; v >>= 2)
        r <<= 1;
    for (;;) {
        const int64_t next = (x / r + r) / 2;
        if (next == r || next == r + 1)
            return r;
        r = next;
    }
}

int64_t TriangleCount(int64_t count, int64_t n)
{
    const int64_t perTriangle = n * (n + 1) / 2;
    int64_t cost = (count / perTriangle) * n;
    count %= perTriangle;
    if (count > 0) {
        int64_t k = IntegerSquareRoot(count);
        while (k * (k + 1) >= 2 * count)
            --k;
        while (k * (k + 1) < 2 * count)
            ++k;
        cost += k;
    }
    return cost;
}

void TRLEEncoder::CompressPixels()
{
    initialBumpLimit_ = clearCode_ - 1;
    initialClearLimit_ = minCodeSize_ > 3 ? clearCode_ - 2 : 9;
    MaxOutputCodes = 4095 - firstFreeCode_;
    TRLEEncoder::ClearTable();

    runPixel_ = -1;
    int64_t runLength = 0;
    TPixelWalk walk(pixels_, width_, height_, interlaced_);
    const uint8_t* span = nullptr;
    size_t length = 0;
    while (walk.NextSpan(span, length)) {
        for (size_t i = 0; i < length; ++i) {
            const int pixel = CheckedPixel(span[i]);
            if (runLength > 0 && pixel != runPixel_) {
                FlushRun(runLength);
                runLength = 0;
            }
            if (pixel == runPixel_) {
                ++runLength;
            } else {
                runPixel_ = pixel;
                runLength = 1;
            }
        }
    }
    FlushRun(runLength);
}

void TRLEEncoder::ClearTable()
{
    bumpLimit_ = initialBumpLimit_;
    clearLimit_ = initialClearLimit_;
    codesOutput_ = 0;
    TableRunMax = 0;
    TGIFEncoder::ClearTable();
    codeSize_ = initialCodeSize_;
}

// One code; the code size follows the decoder's table growth, and a clear
// code follows once the clear limit is reached.
void TRLEEncoder::OutputPlain(int code)
{
    justCleared_ = false;
    PackCode(code);
    ++codesOutput_;
    if (codesOutput_ >= bumpLimit_) {
        bumpLimit_ += int64_t{1} << codeSize_;
        ++codeSize_;
    }
    if (codesOutput_ >= clearLimit_)
        TRLEEncoder::ClearTable();
}

void TRLEEncoder::RestoreClearLimit()
{
    clearLimit_ = initialClearLimit_;
    if (codesOutput_ >= clearLimit_)
        TRLEEncoder::ClearTable();
}

void TRLEEncoder::FlushRun(int64_t count)
{
    if (count == 1)
        OutputPlain(runPixel_);
    else if (justCleared_)
        FlushFromClear(count);
    else if (TableRunMax > 1 && tableRunPixel_ == runPixel_)
        FlushWithTable(count);
    else
        FlushClearOrRepeat(count);
}

// Sends the run as the triangle 1, 2, 3, ... on a fresh table.
void TRLEEncoder::FlushFromClear(int64_t count)
{
    RaiseClearLimit();
    tableRunPixel_ = runPixel_;
    int64_t n = 1;
    while (count > 0) {
        if (n == 1) {
            TableRunMax = 1;
            OutputPlain(runPixel_);
            --count;
        } else if (count >= n) {
            TableRunMax = n;
            OutputPlain(static_cast<int>(firstFreeCode_ + n - 2));
            count -= n;
        } else {
            ++TableRunMax;
            OutputPlain(count == 1 ? runPixel_ : static_cast<int>(firstFreeCode_ + count - 2));
            count = 0;
        }
        n = codesOutput_ > 0 ? n + 1 : 1;
    }
    RestoreClearLimit();
}

void TRLEEncoder::FlushClearOrRepeat(int64_t count)
{
    if (TriangleCount(count, MaxOutputCodes) + 1 < count) {
        TRLEEncoder::ClearTable();
        FlushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        OutputPlain(runPixel_);
}

// Repeats the longest run code of the table, then sends what is left.
void TRLEEncoder::FlushWithTable(int64_t count)
{
    int64_t repeats = count / TableRunMax;
    int64_t leftover = count % TableRunMax;
    int64_t extra = leftover > 0 ? 1 : 0;
    if (codesOutput_ + repeats + extra > MaxOutputCodes) {
        repeats = MaxOutputCodes - codesOutput_;
        leftover = count - repeats * TableRunMax;
        extra = 1 + TriangleCount(leftover, MaxOutputCodes);
    }
    if (1 + TriangleCount(count, MaxOutputCodes) < repeats + extra) {
        TRLEEncoder::ClearTable();
        FlushFromClear(count);
        return;
    }
    RaiseClearLimit();
    for (; repeats > 0; --repeats)
        OutputPlain(static_cast<int>(firstFreeCode_ + TableRunMax - 2));
    if (leftover > 0) {
        if (justCleared_)
            FlushFromClear(leftover);
        else
            OutputPlain(leftover == 1 ? runPixel_ : static_cast<int>(firstFreeCode_ + leftover - 2));
    }
    RestoreClearLimit();
}

} // namespace animora
