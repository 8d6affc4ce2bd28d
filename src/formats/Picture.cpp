#include "formats/Picture.h"

#include "formats/IconReader.h"
#include "formats/MetafileGraphic.h"
#include "formats/BitmapMasks.h"
#include "qtbridge/QtBitmap.h"
#include "gif/GIFImage.h"
#include "platform/GraphicKinds.h"
#include "platform/Stream.h"

namespace animora {

namespace {

// Files larger than this are refused before they are read into memory.
constexpr int64_t kMaxPictureFileBytes = int64_t{512} << 20;

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

PictureKind PictureKindForExtension(const std::string& extension)
{
    switch (FileKindForExtension(extension)) {
    case TFileKind::fkGIF: return PictureKind::pkGIF;
    case TFileKind::fkJPEG: return PictureKind::pkJPEG;
    case TFileKind::fkBitmap: return PictureKind::pkBitmap;
    case TFileKind::fkIcon: return PictureKind::pkIcon;
    case TFileKind::fkMetafile: return PictureKind::pkMetafile;
    case TFileKind::fkEnhMetafile: return PictureKind::pkEnhMetafile;
    case TFileKind::fkVideo:
    case TFileKind::fkUnknown: break;
    }
    const std::string bare = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    throw EInvalidGraphic("Unknown picture file extension (." + bare + ")");
}

struct TPicture::Loaded {
    std::unique_ptr<TGraphic> graphic;
    TBitmap still;
    TBitmap mask;
};

TPicture::TPicture() = default;
TPicture::~TPicture() = default;
TPicture::TPicture(TPicture&&) noexcept = default;
TPicture& TPicture::operator=(TPicture&&) noexcept = default;

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
    // The BMP and GIF readers read streams themselves: a large file is not
    // held twice while it is decoded.
    if (kind == PictureKind::pkBitmap || kind == PictureKind::pkGIF) {
        Take(kind, LoadWithReader(stream, kind));
        return;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(remaining));
    stream.ReadBuffer(bytes.data(), bytes.size());
    LoadFromBytes(bytes.data(), bytes.size(), kind);
}

void TPicture::LoadFromBytes(const uint8_t* data, size_t size, PictureKind kind)
{
    Take(kind, Load(data, size, kind));
}

void TPicture::Take(PictureKind kind, Loaded&& loaded)
{
    kind_ = kind;
    graphic_ = std::move(loaded.graphic);
    still_ = std::move(loaded.still);
    mask_ = std::move(loaded.mask);
}

namespace {

std::unique_ptr<TGraphic> LoadBitmap(TStream& stream)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromStream(stream);
    return bitmap;
}

std::unique_ptr<TGraphic> LoadIcon(const uint8_t* data, size_t size)
{
    const std::vector<TIconImage> images = ReadIconImages(data, size);
    const QImage& icon = ChooseIconImage(images).image;
    TBitmap mask = MaskFromPredicate(icon.width(), icon.height(),
                                     [&icon](int x, int y) { return qAlpha(icon.pixel(x, y)) < 128; });
    return std::make_unique<TIcon>(IconBitmapOnWhite(icon), std::move(mask));
}

// The GIF's warnings go to the picture's handler while it loads; the image
// handed out keeps no handler of the picture's.
std::unique_ptr<TGraphic> LoadGIF(TStream& stream, const JPEGWarningHandler& warning)
{
    auto image = std::make_unique<TGIFImage>();
    if (warning)
        image->WarningHandler = [&warning](TPersistent&, int, const std::string& message) { warning(message); };
    image->LoadFromStream(stream);
    image->WarningHandler = nullptr;
    return image;
}

} // namespace

TPicture::Loaded TPicture::LoadWithReader(TStream& stream, PictureKind kind) const
{
    Loaded loaded;
    if (kind == PictureKind::pkGIF)
        loaded.graphic = LoadGIF(stream, OnWarning);
    else
        loaded.graphic = LoadBitmap(stream);
    return loaded;
}

TPicture::Loaded TPicture::Load(const uint8_t* data, size_t size, PictureKind kind) const
{
    Loaded loaded;
    switch (kind) {
    case PictureKind::pkGIF:
    case PictureKind::pkBitmap: {
        TBytesViewStream stream(data, size);
        return LoadWithReader(stream, kind);
    }
    case PictureKind::pkJPEG:
        loaded.graphic = std::make_unique<TBitmap>(DecodeJPEG(data, size, OnWarning));
        break;
    case PictureKind::pkIcon:
        loaded.graphic = LoadIcon(data, size);
        break;
    case PictureKind::pkMetafile:
    case PictureKind::pkEnhMetafile: {
        // Played here once on white and on black, so that a damaged record
        // fails the load rather than a later drawing.
        const bool enhanced = kind == PictureKind::pkEnhMetafile;
        const TRenderedMetafile rendered = RenderMetafile(data, size, enhanced);
        loaded.still = BitmapFromImage(rendered.onWhite);
        loaded.mask = MetafileMask(rendered);
        loaded.graphic = MakeMetafileGraphic(std::vector<uint8_t>(data, data + size), enhanced);
        break;
    }
    }
    return loaded;
}

const TBitmap& TPicture::Bitmap() const
{
    static const TBitmap none;
    if (!graphic_)
        return none;
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic_.get()))
        return *bitmap;
    if (const auto* icon = dynamic_cast<const TIcon*>(graphic_.get()))
        return icon->Picture();
    if (const auto* image = dynamic_cast<const TGIFImage*>(graphic_.get())) {
        const TBitmap* picture = image->FirstFrameBitmap();
        return picture ? *picture : none;
    }
    return still_;
}

bool TPicture::HasMask() const
{
    return dynamic_cast<const TIcon*>(graphic_.get()) || dynamic_cast<const TMetafile*>(graphic_.get());
}

const TBitmap& TPicture::Mask() const
{
    if (const auto* icon = dynamic_cast<const TIcon*>(graphic_.get()))
        return icon->Mask();
    return mask_;
}

bool TPicture::AssignTo(TPersistent& destination) const
{
    if (!graphic_)
        return false;
    destination.Assign(*graphic_);
    return true;
}

} // namespace animora
