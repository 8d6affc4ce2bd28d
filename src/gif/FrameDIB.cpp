#include "gif/FrameDIB.h"

namespace animora {

TDIBSizeInfo DIBSizes(const TBitmap& bitmap, PixelFormat format)
{
    TBitmapInfoHeader header;
    FillDIBHeader(bitmap, header, format);
    TDIBSizeInfo sizes;
    sizes.headerSize = 40;  // BITMAPINFOHEADER
    if (header.BitCount <= 8)
        sizes.headerSize += 4 * (size_t{1} << header.BitCount);
    sizes.imageSize = header.SizeImage;
    return sizes;
}

bool DIBBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, PixelFormat format,
             std::span<uint8_t> bits)
{
    return CopyDIBBits(bitmap, palette, info, format, bits);
}

} // namespace animora
