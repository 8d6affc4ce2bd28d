#include "app/ProjectFiles.h"

#include <QFileInfo>

#include "app/FrameRendering.h"
#include "gif/GIFImage.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

#ifdef ANIMORA_HAVE_FORMATS
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#endif

namespace animora {

QString UpperExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : "." + suffix.toUpper();
}

void LoadProjectFile(TGIFImage& image, const QString& path)
{
    const QString extension = UpperExtension(path);
    if (extension == ".GIF") {
        image.LoadFromFile(path.toStdString());
        return;
    }
#ifdef ANIMORA_HAVE_FORMATS
    // Other pictures are recognised (and refused with the loader's own
    // message when damaged), but turning them into frames needs the engine's
    // picture-to-frame conversion, which is not there yet.
    TPicture picture;
    picture.LoadFromFile(path.toStdString());
#else
    if (extension != ".BMP" && extension != ".JPG" && extension != ".JPEG")
        throw EInvalidGraphic("Unknown picture file extension (" + extension.mid(1).toLower().toStdString() + ")");
#endif
    throw EInvalidGraphic("Opening a " + extension.mid(1).toStdString() +
                          " picture as a project needs picture-to-frame conversion, which this version lacks");
}

SaveKind SaveKindFor(const QString& path)
{
    const QString extension = UpperExtension(path);
    if (extension == ".BMP")
        return SaveKind::Bitmap;
    if (extension == ".JPG" || extension == ".JPEG")
        return SaveKind::Jpeg;
    if (extension == ".AVI")
        return SaveKind::Avi;
    return SaveKind::Gif;
}

void SaveAsGif(TGIFImage& image, const QString& path)
{
    image.SaveToFile(path.toStdString());
}

void SaveAsBitmap(const TGIFImage& image, const QString& path)
{
    const TBitmap bitmap = RenderImageBitmap(image);
    if (bitmap.Empty())
        throw EInvalidGraphicOperation("Cannot save an image without frames as a bitmap");
    bitmap.SaveToFile(path.toStdString());
}

void SaveAsJpeg(const TGIFImage& image, const QString& path, const JpegSaveOptions& options)
{
#ifdef ANIMORA_HAVE_FORMATS
    const TBitmap bitmap = RenderImageBitmap(image);
    if (bitmap.Empty())
        throw EInvalidGraphicOperation("Cannot save an image without frames as a JPEG");
    TJPEGOptions jpeg;
    jpeg.quality = options.quality;
    jpeg.grayscale = options.grayscale;
    jpeg.smoothing = options.smoothing ? DefaultSmoothingFactor : 0;
    WriteFileAtomically(path.toStdString(), [&](TStream& stream) { EncodeJPEG(bitmap, jpeg, stream); });
#else
    (void)image;
    (void)path;
    (void)options;
    throw EInvalidGraphicOperation("This build cannot write JPEG files");
#endif
}

} // namespace animora
