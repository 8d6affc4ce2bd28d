#include "app/FrameRendering.h"

#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Canvas.h"

namespace animora {

namespace {

constexpr TColor kWhite = 0xFFFFFF;

} // namespace

QImage RenderFrameImage(const TGIFSubImage& frame)
{
    const TBitmap* bitmap = frame.RenderedBitmap();
    if (!bitmap)
        return {};
    QImage image = ImageFromBitmap(*bitmap);
    const TBitmap* mask = frame.HasMask() ? frame.Mask() : nullptr;
    if (!mask)
        return image;
    const int width = std::min(image.width(), mask->Width());
    const int height = std::min(image.height(), mask->Height());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            if ((mask->PixelColor(x, y) & 0xFFFFFF) != 0)
                row[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

TBitmap RenderImageBitmap(const TGIFImage& image)
{
    const TBitmap* bitmap = image.FirstFrameBitmap();
    return bitmap ? *bitmap : TBitmap{};
}

TBitmap BlankBitmap(int width, int height)
{
    TBitmap bitmap(width, height, PixelFormat::pf24bit);
    TCanvas(bitmap).FillRect({0, 0, width, height}, kWhite);
    return bitmap;
}

} // namespace animora
