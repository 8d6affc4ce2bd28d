#include "formats/MetafileGraphic.h"

#include <algorithm>

#include "platform/Errors.h"

namespace animora {

namespace {

// A drawing larger than this is refused rather than rasterised: the players
// allocate a picture of the whole rectangle.
constexpr int64_t kMaxPlayedPixels = int64_t{1} << 26;

QRgb ToQRgb(TColor color)
{
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor FromQRgb(QRgb pixel)
{
    return MakeColor(static_cast<uint8_t>(qRed(pixel)), static_cast<uint8_t>(qGreen(pixel)),
                     static_cast<uint8_t>(qBlue(pixel)));
}

TRect Intersection(const TRect& a, const TRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

struct TMetafileSource {
    std::vector<uint8_t> bytes;
    bool enhanced = false;
    TMetafileLimits limits;
};

// The players paint QImages: the visible part of the rectangle is copied out
// of the bitmap, played over and copied back where the records changed it.
void PlayOnCanvas(const TMetafileSource& source, TCanvas& canvas, const TRect& rect)
{
    TBitmap& target = canvas.Bitmap();
    const TRect visible = Intersection(rect, {0, 0, target.Width(), target.Height()});
    if (rect.IsEmpty() || visible.IsEmpty())
        return;
    if (int64_t{rect.Width()} * rect.Height() > kMaxPlayedPixels)
        throw EInvalidGraphicOperation("Metafile drawn too large");
    QImage image(rect.Width(), rect.Height(), QImage::Format_RGB32);
    if (image.isNull())
        throw EOutOfMemory();
    image.fill(Qt::white);
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x)
            image.setPixel(x - rect.left, y - rect.top, ToQRgb(target.PixelColor(x, y)));
    const QImage before = image.copy();
    PlayMetafile(source.bytes.data(), source.bytes.size(), source.enhanced, image, source.limits);
    for (int y = visible.top; y < visible.bottom; ++y) {
        const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y - rect.top));
        const auto* now = reinterpret_cast<const QRgb*>(image.constScanLine(y - rect.top));
        for (int x = visible.left; x < visible.right; ++x)
            if (was[x - rect.left] != now[x - rect.left])
                target.SetPixelColor(x, y, FromQRgb(now[x - rect.left]));
    }
}

} // namespace

std::unique_ptr<TMetafile> MakeMetafileGraphic(std::vector<uint8_t> bytes, bool enhanced,
                                               const TMetafileLimits& limits)
{
    auto source = std::make_shared<TMetafileSource>(TMetafileSource{std::move(bytes), enhanced, limits});
    const QSize size = MetafileSize(source->bytes.data(), source->bytes.size(), enhanced, limits);
    return std::make_unique<TMetafile>(size.width(), size.height(),
                                       [source](TCanvas& canvas, const TRect& rect) {
                                           PlayOnCanvas(*source, canvas, rect);
                                       });
}

} // namespace animora
