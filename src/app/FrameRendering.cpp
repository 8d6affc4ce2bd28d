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
    // A pixel whose mask colour is not black is transparent.
    const TPalette& palette = mask->Palette();
    if (mask->GetPixelFormat() == PixelFormat::pf1bit && palette.Count() >= 2) {
        // The rendered frames' masks: eight pixels a byte, the first in the
        // high bit, read a byte at a time.
        const bool clearOn[2] = {(palette.Color(0) & 0xFFFFFF) != 0, (palette.Color(1) & 0xFFFFFF) != 0};
        if (!clearOn[0] && !clearOn[1])
            return image;
        const uint8_t flip = clearOn[0] ? 0xFF : 0x00;  // bits set where clear, whichever index that is
        for (int y = 0; y < height; ++y) {
            const uint8_t* bits = mask->ScanLine(y);
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; x += 8) {
                uint8_t clear = static_cast<uint8_t>(bits[x / 8] ^ flip);
                if (clearOn[0] && clearOn[1])
                    clear = 0xFF;
                for (int k = 0; clear != 0 && k < 8 && x + k < width; ++k, clear = static_cast<uint8_t>(clear << 1))
                    if (clear & 0x80)
                        row[x + k] = qRgba(0, 0, 0, 0);
            }
        }
        return image;
    }
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
