// The colour reduction of pictures that become frames.
#include "color/ReduceColors.h"
#include "gif/SubImage.h"

namespace animora {

std::unique_ptr<TBitmap> ReduceFrameColors(TBitmap& source, uint8_t mode, uint8_t dither, int bits, bool refine)
{
    return ReduceBitmapColors(source, static_cast<ColorReductionMode>(mode), static_cast<DitherKind>(dither), nullptr,
                              bits, refine);
}

} // namespace animora
