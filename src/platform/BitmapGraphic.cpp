// The bitmap as one graphic among others: drawing, assignment from other
// graphics and the clipboard's bitmap format.
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/Errors.h"
#include "platform/PixelAccess.h"

namespace animora {

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    canvas.StretchDraw(rect, *this);
}

void TBitmap::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        *this = *bitmap;
        return;
    }
    if (source.AssignTo(*this))
        return;
    const auto* graphic = dynamic_cast<const TGraphic*>(&source);
    if (!graphic)
        throw EConvertError::CannotAssign(source.ClassName(), ClassName());
    // A graphic that cannot give a bitmap still knows how to draw itself.
    TBitmap drawn(graphic->GetWidth(), graphic->GetHeight(), PixelFormat::pf24bit);
    if (!drawn.Empty()) {
        TCanvas canvas(drawn);
        const_cast<TGraphic*>(graphic)->Draw(canvas, {0, 0, drawn.Width(), drawn.Height()});
    }
    *this = std::move(drawn);
}

void TBitmap::LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>* data)
{
    if (format != kClipboardBitmapFormat)
        throw EInvalidGraphic("Unsupported clipboard format");
    std::optional<std::vector<uint8_t>> fromClipboard;
    if (!data) {
        fromClipboard = Clipboard().GetData(format);
        if (!fromClipboard)
            throw EInvalidGraphic("Unsupported clipboard format");
        data = &*fromClipboard;
    }
    TBytesViewStream stream(data->data(), data->size());
    LoadFromStream(stream);
}

void TBitmap::SaveToClipboardFormat(std::string& format, std::vector<uint8_t>& data)
{
    TMemoryStream stream;
    SaveToStream(stream);
    format = kClipboardBitmapFormat;
    data = std::move(stream.Bytes());
}

TBitmap MakeTransparencyMask(const TBitmap& bitmap)
{
    TBitmap mask(bitmap.Width(), bitmap.Height(), PixelFormat::pf1bit);
    const TColor key = bitmap.TransparentColor() & 0xFFFFFF;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* in = bitmap.ScanLine(y);
        uint8_t* out = mask.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            if ((pixels::ReadColor(in, x, bitmap.GetPixelFormat(), bitmap.Palette()) & 0xFFFFFF) == key)
                pixels::SetIndex(out, x, 1, 1);
    }
    return mask;
}

} // namespace animora
