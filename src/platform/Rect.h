#pragma once
#include <cstdint>

namespace animora {

// A rectangle as the platform's graphics see it: right and bottom lie just
// outside the area.
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const TRect&) const = default;
};

} // namespace animora
