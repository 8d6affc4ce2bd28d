#include "formats/BitmapMasks.h"

namespace animora {

TBitmap MaskFromPredicate(int width, int height, const std::function<bool(int x, int y)>& transparent)
{
    TBitmap mask(width, height, PixelFormat::pf1bit);
    mask.SetPalette(MonochromePalette());
    for (int y = 0; y < height; ++y) {
        uint8_t* row = mask.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (transparent(x, y))
                row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
        }
    }
    return mask;
}

} // namespace animora
