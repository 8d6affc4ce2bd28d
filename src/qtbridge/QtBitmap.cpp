#include "qtbridge/QtBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include <QGuiApplication>

namespace animora {

namespace {

QRgb ToQRgb(TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

void EnsureQtGui()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // argc and argv must outlive the application; the object lives until exit.
    static int argc = 1;
    static char name[] = "animora";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

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

TBitmap BitmapFromImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    TBitmap bitmap(rgb.width(), rgb.height(), PixelFormat::pf24bit);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uint8_t* out = bitmap.ScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            out[3 * x] = static_cast<uint8_t>(qBlue(in[x]));
            out[3 * x + 1] = static_cast<uint8_t>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<uint8_t>(qRed(in[x]));
        }
    }
    return bitmap;
}

} // namespace animora
