#include "app/FrameRendering.h"

#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Canvas.h"

namespace animora {

namespace {

constexpr TColor kWhite = 0xFFFFFF;

QRgb ToQRgb(TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

TColor ColorFromQt(const QColor& color)
{
    return MakeColor(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()));
}

QImage ImageFromBitmap(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return {};
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    if (IsPaletteFormat(bitmap.GetPixelFormat()) && bitmap.BitsPerPixel() == 8) {
        // The common case (rendered frames) by table, not pixel by pixel.
        QRgb table[256];
        std::fill(std::begin(table), std::end(table), qRgb(0, 0, 0));
        const TPalette& palette = bitmap.Palette();
        for (int i = 0; i < std::min(palette.Count(), 256); ++i)
            table[i] = ToQRgb(palette.Color(i));
        for (int y = 0; y < bitmap.Height(); ++y) {
            const uint8_t* in = bitmap.ScanLine(y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < bitmap.Width(); ++x)
                out[x] = table[in[x]];
        }
        return image;
    }
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x)
            out[x] = ToQRgb(bitmap.PixelColor(x, y));
    }
    return image;
}

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
