#include "app/ProjectFiles.h"

#include <QFileInfo>
#include <QStringList>

#include "app/FrameRendering.h"
#include "gif/GIFImage.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

#ifdef ANIMORA_HAVE_FORMATS
#include "formats/JPEGImage.h"
#endif

namespace animora {

QString UpperExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : "." + suffix.toUpper();
}

void CheckProjectFileSupported(const QString& path)
{
    const QString extension = UpperExtension(path);
    if (extension == ".GIF")
        return;
    if (extension == ".AVI")
        throw EInvalidGraphic("Opening AVI video needs the video import, which this version lacks");
    static const QStringList kPictures = {".BMP", ".JPG", ".JPEG", ".ICO", ".WMF", ".EMF"};
    if (!kPictures.contains(extension))
        throw EInvalidGraphic("Unknown picture file extension (" + extension.toLower().toStdString() + ")");
    throw EInvalidGraphic("Opening a " + extension.mid(1).toStdString() +
                          " picture as a project needs picture-to-frame conversion, which this version lacks");
}

void LoadProjectFile(TGIFImage& image, const QString& path)
{
    CheckProjectFileSupported(path);
    image.LoadFromFile(path.toStdString());
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
