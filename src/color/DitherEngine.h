#pragma once
// Dither engines: map the pixels of a picture to palette indices, one row at a
// time in serpentine order (even rows left to right, odd rows right to left).
//
// TDitherEngine is the plain engine (nearest colour) and the interface the
// reduction driver sees. The fast engines are final class templates over the
// concrete lookup type, so the per-pixel lookup is an inlined call; the driver
// makes one virtual call per row (DitherRow), never one per pixel.
#include <cstdint>
#include <memory>

#include "color/ColorLookup.h"
#include "color/ColorTypes.h"

namespace animora {

class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    // Maps the pixel at Column() and steps the column in this row's direction.
    virtual uint8_t DitherPixel(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue)
    {
        const uint8_t index = lookup_.MatchColor(red, green, blue, outRed, outGreen, outBlue);
        StepColumn();
        return index;
    }

    // Called after the last pixel of a row: reverses the direction and puts
    // the column at the start of the next row.
    virtual void NextRow()
    {
        direction_ = -direction_;
        column_ = direction_ > 0 ? 0 : width_ - 1;
    }

    // Passes over the pixel at Column() without mapping it: it neither takes
    // nor spreads an error (a transparent pixel of a dithered frame).
    void SkipPixel() { StepColumn(); }

    // Maps one row of blue, green, red pixels into `indices`, visiting the
    // columns in the order DitherPixel would. NextRow is still the caller's.
    virtual void DitherRow(const uint8_t* bgr, uint8_t* indices);

    int Direction() const { return direction_; }
    int Column() const { return column_; }
    int Width() const { return width_; }

protected:
    void StepColumn() { column_ += direction_; }
    bool ColumnInside() const { return column_ >= 0 && column_ < width_; }

    int direction_ = 1;
    int column_ = 0;
    TColorLookup& lookup_;
    int width_;
};

// Makes the engine of `kind` for rows of `width` pixels; null for a kind that
// does not exist. The lookup must outlive the engine.
std::unique_ptr<TDitherEngine> MakeDitherEngine(DitherKind kind, int width, TColorLookup& lookup);

} // namespace animora
