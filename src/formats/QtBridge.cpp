#include "formats/QtBridge.h"

#include <cstdlib>

#include <QGuiApplication>

namespace animora {

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

bool MaskHasTransparency(const TBitmap& mask)
{
    for (int y = 0; y < mask.Height(); ++y) {
        const uint8_t* row = mask.ScanLine(y);
        for (int x = 0; x < mask.Width(); ++x) {
            if (row[x >> 3] & (0x80 >> (x & 7)))
                return true;
        }
    }
    return false;
}

} // namespace animora
