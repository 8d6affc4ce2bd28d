#include "app/FrameRendering.h"

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

constexpr TColor kWhite = 0xFFFFFF;

// The ARGB of every index 0..255: entries past the map's end are black, as
// a decoder that meets a stray index shows them.
std::array<QRgb, 256> ColorTable(const TGIFSubImage& frame)
{
    std::array<QRgb, 256> table{};
    table.fill(qRgb(0, 0, 0));
    const TGIFColorMap& map = frame.ActiveColorMap();
    const uint8_t* entries = map.Entries();
    for (int i = 0; i < map.Count(); ++i)
        table[i] = qRgb(entries[3 * i], entries[3 * i + 1], entries[3 * i + 2]);
    if (frame.Transparent() && frame.GraphicControl())
        table[frame.GraphicControl()->TransparentColorIndex()] = qRgba(0, 0, 0, 0);
    return table;
}

} // namespace

QImage RenderFrameImage(const TGIFSubImage& frame)
{
    if (frame.IsEmpty())
        return {};
    const auto table = ColorTable(frame);
    QImage image(frame.Width(), frame.Height(), QImage::Format_ARGB32);
    const uint8_t* pixels = frame.Data();
    for (int y = 0; y < frame.Height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* source = pixels + static_cast<size_t>(y) * frame.Width();
        for (int x = 0; x < frame.Width(); ++x)
            row[x] = table[source[x]];
    }
    return image;
}

TBitmap RenderImageBitmap(const TGIFImage& image)
{
    if (image.Images().Count() == 0)
        return {};
    TGIFImage& mutableImage = const_cast<TGIFImage&>(image);
    TColor backdrop = image.BackdropColor();
    if (backdrop == GIFImageDefaults().backdropColor)
        backdrop = mutableImage.Header().ColorMap().Count() > 0 ? mutableImage.Header().BackgroundColor() : kWhite;
    TBitmap bitmap(std::max(image.GetWidth(), 1), std::max(image.GetHeight(), 1), PixelFormat::pf24bit);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixelColor(x, y, backdrop & 0xFFFFFF);

    const TGIFSubImage& frame = *image.Images().SubImage(0);
    const QImage picture = RenderFrameImage(frame);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            const int tx = frame.Left() + x;
            const int ty = frame.Top() + y;
            if (qAlpha(pixel) == 0 || tx >= bitmap.Width() || ty >= bitmap.Height())
                continue;
            bitmap.SetPixelColor(tx, ty, static_cast<TColor>(qRed(pixel)) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16));
        }
    }
    return bitmap;
}

void CopyFramePicture(const TGIFSubImage& source, TGIFSubImage& target)
{
    target.SetBounds(0, 0, source.Width(), source.Height());
    const TGIFColorMap& map = source.ActiveColorMap();
    target.ColorMap().Reset();
    for (int i = 0; i < map.Count(); ++i)
        target.ColorMap().AddColor(TGIFColorMap::EntryToColor(map.Entries() + 3 * i));
    if (source.Data() && target.Data())
        std::copy(source.Data(), source.Data() + source.DataSize(), target.Data());
    target.PixelsChanged();
}

void MakeBlankFrame(TGIFSubImage& frame, int width, int height)
{
    frame.SetBounds(0, 0, width, height);
    frame.ColorMap().Reset();
    frame.ColorMap().AddColor(kWhite);
    frame.PixelsChanged();
}

} // namespace animora
