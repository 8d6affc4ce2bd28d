#include "platform/FloodFill.h"

#include <algorithm>
#include <cstring>


namespace animora {

namespace {

// Compares pixels by their stored bytes where a pixel has whole bytes, and
// by colour otherwise.
class TPixelMatcher {
public:
    TPixelMatcher(const TBitmap& bitmap, int x, int y)
        : bitmap_(bitmap), bytes_(bitmap.BitsPerPixel() / 8), seedColor_(bitmap.PixelColor(x, y))
    {
        if (bytes_ > 0)
            std::memcpy(seed_, bitmap.ScanLine(y) + size_t(x) * size_t(bytes_), size_t(bytes_));
    }

    bool Matches(const uint8_t* row, int x, int y) const
    {
        if (bytes_ > 0)
            return std::memcmp(row + size_t(x) * size_t(bytes_), seed_, size_t(bytes_)) == 0;
        return bitmap_.PixelColor(x, y) == seedColor_;
    }

private:
    const TBitmap& bitmap_;
    int bytes_;
    uint8_t seed_[4] = {};
    TColor seedColor_;
};

// A run of filled pixels on row y whose neighbours on row y + dy still have
// to be looked at.
struct TSegment {
    int y;
    int left;
    int right;  // inclusive
    int dy;
};

class TFiller {
public:
    TFiller(const TBitmap& bitmap, int x, int y, TFloodRegion& region)
        : bitmap_(bitmap), matcher_(bitmap, x, y), region_(region)
    {
    }

    void Run(int x, int y)
    {
        const int right = FillRun(x, y);
        const int left = extendLeft_;
        Push(y, left, right, 1);
        Push(y, left, right, -1);
        while (!stack_.empty()) {
            const TSegment segment = stack_.back();
            stack_.pop_back();
            ScanNeighbours(segment);
        }
    }

private:
    bool Open(const uint8_t* row, uint8_t* maskRow, int x, int y) const
    {
        return maskRow[x] == 0 && matcher_.Matches(row, x, y);
    }

    // Fills the run through (x, y) and answers its right end; its left end
    // is left in extendLeft_.
    int FillRun(int x, int y)
    {
        const uint8_t* row = bitmap_.ScanLine(y);
        uint8_t* maskRow = MaskRow(y);
        int left = x;
        while (left > 0 && Open(row, maskRow, left - 1, y))
            --left;
        int right = x;
        while (right + 1 < bitmap_.Width() && Open(row, maskRow, right + 1, y))
            ++right;
        std::fill(maskRow + left, maskRow + right + 1, uint8_t{1});
        Grow(left, right, y);
        extendLeft_ = left;
        return right;
    }

    void ScanNeighbours(const TSegment& segment)
    {
        const int y = segment.y + segment.dy;
        if (y < 0 || y >= bitmap_.Height())
            return;
        const uint8_t* row = bitmap_.ScanLine(y);
        uint8_t* maskRow = MaskRow(y);
        for (int x = segment.left; x <= segment.right; ++x) {
            if (!Open(row, maskRow, x, y))
                continue;
            const int right = FillRun(x, y);
            const int left = extendLeft_;
            Push(y, left, right, segment.dy);
            // Parts that reach past the parent run turn round the corner.
            if (left < segment.left)
                Push(y, left, segment.left - 1, -segment.dy);
            if (right > segment.right)
                Push(y, segment.right + 1, right, -segment.dy);
            x = right;
        }
    }

    void Push(int y, int left, int right, int dy) { stack_.push_back({y, left, right, dy}); }
    uint8_t* MaskRow(int y) { return region_.mask.data() + size_t(y) * size_t(region_.width); }

    void Grow(int left, int right, int y)
    {
        TRect& b = region_.bounds;
        if (b.IsEmpty()) {
            b = {left, y, right + 1, y + 1};
            return;
        }
        b.left = std::min(b.left, left);
        b.right = std::max(b.right, right + 1);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y + 1);
    }

    const TBitmap& bitmap_;
    TPixelMatcher matcher_;
    TFloodRegion& region_;
    std::vector<TSegment> stack_;
    int extendLeft_ = 0;
};

} // namespace

TFloodRegion FloodRegion(const TBitmap& bitmap, int x, int y)
{
    TFloodRegion region;
    region.width = bitmap.Width();
    region.height = bitmap.Height();
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height())
        return region;
    region.mask.assign(size_t(region.width) * size_t(region.height), 0);
    TFiller(bitmap, x, y, region).Run(x, y);
    return region;
}

} // namespace animora
