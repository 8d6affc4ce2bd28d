#include "platform/GraphicKinds.h"

#include "platform/Errors.h"

namespace animora {

// --- icon --------------------------------------------------------------------

TIcon::TIcon(TBitmap picture, TBitmap mask) : picture_(std::move(picture)), mask_(std::move(mask))
{
    if (mask_.Width() != picture_.Width() || mask_.Height() != picture_.Height())
        throw EInvalidGraphicOperation("Icon mask does not match its picture");
    transparent_ = true;
}

void TIcon::SetWidth(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect)
{
    if (!picture_.Empty())
        canvas.MaskedStretchDraw(rect, picture_, mask_);
}

void TIcon::LoadFromStream(TStream&)
{
    throw EInvalidGraphic("Icon image is not valid");
}

void TIcon::SaveToStream(TStream&)
{
    throw EInvalidGraphic("Icon image is not valid");
}

// --- metafile ----------------------------------------------------------------

TMetafile::TMetafile(int width, int height, TMetafilePlayer player)
    : width_(width), height_(height), player_(std::move(player))
{
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("Invalid image dimensions");
}

void TMetafile::SetWidth(int width)
{
    if (width < 0)
        throw EInvalidGraphicOperation("Invalid image dimensions");
    width_ = width;
    Changed();
}

void TMetafile::SetHeight(int height)
{
    if (height < 0)
        throw EInvalidGraphicOperation("Invalid image dimensions");
    height_ = height;
    Changed();
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect)
{
    if (player_) {
        player_(canvas, rect);
        canvas.Changed();
    }
}

void TMetafile::LoadFromStream(TStream&)
{
    throw EInvalidGraphic("Metafile is not valid");
}

void TMetafile::SaveToStream(TStream&)
{
    throw EInvalidGraphic("Metafile is not valid");
}

} // namespace animora
