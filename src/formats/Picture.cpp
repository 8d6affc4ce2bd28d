#include "formats/Picture.h"

#include <algorithm>
#include <cctype>

#include "formats/IconReader.h"
#include "formats/Metafile.h"
#include "formats/QtBridge.h"
#include "platform/Stream.h"

namespace animora {

namespace {

// Files larger than this are refused before they are read into memory.
constexpr int64_t kMaxPictureFileBytes = int64_t{512} << 20;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ExtensionOf(const std::string& fileName)
{
    const size_t slash = fileName.find_last_of("/\\");
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return fileName.substr(dot + 1);
}

const char* FailureFor(PictureKind kind)
{
    switch (kind) {
    case PictureKind::pkIcon: return "Icon image is not valid";
    case PictureKind::pkMetafile:
    case PictureKind::pkEnhMetafile: return "Metafile is not valid";
    default: return "Bitmap image is not valid";
    }
}

// Icons are drawn on white; the mask says where the white shows.
TBitmap IconBitmapOnWhite(const QImage& icon)
{
    QImage canvas(icon.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    for (int y = 0; y < icon.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(icon.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < icon.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
            out[x] = qRgb(blend(qRed(in[x])), blend(qGreen(in[x])), blend(qBlue(in[x])));
        }
    }
    return BitmapFromImage(canvas);
}

} // namespace

std::string LowerExtension(const std::string& fileName)
{
    return Lower(ExtensionOf(fileName));
}

PictureKind PictureKindForExtension(const std::string& extension)
{
    const std::string bare = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    const std::string lower = Lower(bare);
    if (lower == "gif") return PictureKind::pkGIF;
    if (lower == "jpg" || lower == "jpeg") return PictureKind::pkJPEG;
    if (lower == "bmp") return PictureKind::pkBitmap;
    if (lower == "ico") return PictureKind::pkIcon;
    if (lower == "wmf") return PictureKind::pkMetafile;
    if (lower == "emf") return PictureKind::pkEnhMetafile;
    throw EInvalidGraphic("Unknown picture file extension (." + bare + ")");
}

struct TPicture::Loaded {
    TBitmap bitmap;
    TBitmap mask;
    bool hasMask = false;
    std::vector<uint8_t> gifData;
};

void TPicture::LoadFromFile(const std::string& fileName)
{
    const PictureKind kind = PictureKindForExtension(ExtensionOf(fileName));
    TFileStream stream(fileName, FileMode::OpenRead);
    LoadFromStream(stream, kind);
}

void TPicture::LoadFromStream(TStream& stream, PictureKind kind)
{
    const int64_t remaining = stream.Remaining();
    if (remaining < 0 || remaining > kMaxPictureFileBytes)
        throw EInvalidGraphic(FailureFor(kind));
    std::vector<uint8_t> bytes(static_cast<size_t>(remaining));
    stream.ReadBuffer(bytes.data(), bytes.size());
    LoadFromBytes(bytes.data(), bytes.size(), kind);
}

void TPicture::LoadFromBytes(const uint8_t* data, size_t size, PictureKind kind)
{
    Loaded loaded;
    switch (kind) {
    case PictureKind::pkGIF:
        loaded.gifData.assign(data, data + size);
        break;
    case PictureKind::pkJPEG:
        loaded.bitmap = DecodeJPEG(data, size, OnWarning);
        break;
    case PictureKind::pkBitmap: {
        TBytesViewStream stream(data, size);
        loaded.bitmap.LoadFromStream(stream);
        break;
    }
    case PictureKind::pkIcon: {
        const std::vector<TIconImage> images = ReadIconImages(data, size);
        const QImage& icon = ChooseIconImage(images).image;
        loaded.bitmap = IconBitmapOnWhite(icon);
        loaded.mask = MaskFromPredicate(icon.width(), icon.height(), [&icon](int x, int y) {
            return qAlpha(icon.pixel(x, y)) < 128;
        });
        loaded.hasMask = true;
        break;
    }
    case PictureKind::pkMetafile:
    case PictureKind::pkEnhMetafile: {
        const TRenderedMetafile rendered = RenderMetafile(data, size, kind == PictureKind::pkEnhMetafile);
        loaded.bitmap = BitmapFromImage(rendered.onWhite);
        loaded.mask = MetafileMask(rendered);
        loaded.hasMask = true;
        break;
    }
    }
    kind_ = kind;
    Take(std::move(loaded));
}

void TPicture::Take(Loaded&& loaded)
{
    bitmap_ = std::move(loaded.bitmap);
    mask_ = std::move(loaded.mask);
    hasMask_ = loaded.hasMask;
    gifData_ = std::move(loaded.gifData);
    loaded_ = true;
}

} // namespace animora
