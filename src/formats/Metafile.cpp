#include "formats/Metafile.h"

#include "formats/MetafilePlayers.h"
#include "formats/BitmapMasks.h"
#include "qtbridge/QtBitmap.h"

namespace animora {

namespace {

template <typename Player>
TRenderedMetafile RenderWith(const Player& player)
{
    TRenderedMetafile rendered;
    rendered.onWhite = QImage(player.Size(), QImage::Format_RGB32);
    rendered.onBlack = QImage(player.Size(), QImage::Format_RGB32);
    if (rendered.onWhite.isNull() || rendered.onBlack.isNull())
        throw EOutOfMemory();
    rendered.onWhite.fill(Qt::white);
    rendered.onBlack.fill(Qt::black);
    player.Play(rendered.onWhite);
    player.Play(rendered.onBlack);
    return rendered;
}

} // namespace

TRenderedMetafile RenderMetafile(const uint8_t* data, size_t size, bool enhanced, const TMetafileLimits& limits)
{
    EnsureQtGui();
    const ByteReader file(data, size, "Metafile is not valid");
    if (enhanced)
        return RenderWith(EmfPlayer(file, limits));
    return RenderWith(WmfPlayer(file, limits));
}

QSize MetafileSize(const uint8_t* data, size_t size, bool enhanced, const TMetafileLimits& limits)
{
    const ByteReader file(data, size, "Metafile is not valid");
    return enhanced ? EmfPlayer(file, limits).Size() : WmfPlayer(file, limits).Size();
}

void PlayMetafile(const uint8_t* data, size_t size, bool enhanced, QImage& image, const TMetafileLimits& limits)
{
    EnsureQtGui();
    const ByteReader file(data, size, "Metafile is not valid");
    if (enhanced)
        EmfPlayer(file, limits).Play(image);
    else
        WmfPlayer(file, limits).Play(image);
}

TBitmap MetafileMask(const TRenderedMetafile& rendered)
{
    const QImage& white = rendered.onWhite;
    const QImage& black = rendered.onBlack;
    return MaskFromPredicate(white.width(), white.height(), [&](int x, int y) {
        return (white.pixel(x, y) ^ black.pixel(x, y)) & 0x00FFFFFF;
    });
}

} // namespace animora
