// The colour reduction of pictures that become frames.
#include "gif/SubImage.h"

namespace animora {

// Until the colour engine is merged: nearest colours of the halftone table.
std::unique_ptr<TBitmap> ReduceFrameColors(TBitmap& source, uint8_t, uint8_t, int)
{
    auto result = std::make_unique<TBitmap>(source);
    result->SetPixelFormat(PixelFormat::pf8bit);
    return result;
}

} // namespace animora
