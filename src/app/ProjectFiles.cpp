#include "app/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

#include "app/FrameRendering.h"
#include "gif/GIFImage.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

#include "formats/FileKinds.h"
#include "formats/JPEGImage.h"
#include "formats/Picture.h"
#include "platform/GraphicKinds.h"

namespace animora {

QString UpperExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : "." + suffix.toUpper();
}

void CheckProjectFileSupported(const QString& path)
{
    const TFileKind kind = FileKindOf(path.toStdString());
    if (kind != TFileKind::fkVideo && !FileKindInfo(kind).opens)
        PictureKindForExtension(QFileInfo(path).suffix().toStdString());  // raises for an unknown extension
}

bool IsVideoProjectFile(const QString& path)
{
    return FileKindOf(path.toStdString()) == TFileKind::fkVideo;
}

QString GifBesideVideo(const QString& videoPath)
{
    const QFileInfo video(videoPath);
    return video.dir().filePath(video.completeBaseName() + ".gif");
}

void LoadProjectFile(TGIFImage& image, const QString& path)
{
    CheckProjectFileSupported(path);
    if (FileKindOf(path.toStdString()) == TFileKind::fkGIF) {
        image.LoadFromFile(path.toStdString());
        return;
    }
    // Any other picture becomes a one-frame GIF; icons and metafiles keep
    // their transparency through their masks.
    TPicture picture;
    picture.LoadFromFile(path.toStdString());
    if (picture.HasMask())
        image.Assign(TIcon(picture.Bitmap(), picture.Mask()));
    else
        image.Assign(picture.Bitmap());
}

SaveKind SaveKindFor(const QString& path)
{
    switch (FileKindOf(path.toStdString())) {
    case TFileKind::fkBitmap: return SaveKind::Bitmap;
    case TFileKind::fkJPEG: return SaveKind::Jpeg;
    case TFileKind::fkVideo: return SaveKind::Avi;
    default: return SaveKind::Gif;  // any other name is written as a GIF
    }
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
    const TBitmap bitmap = RenderImageBitmap(image);
    if (bitmap.Empty())
        throw EInvalidGraphicOperation("Cannot save an image without frames as a JPEG");
    TJPEGOptions jpeg;
    jpeg.quality = options.quality;
    jpeg.grayscale = options.grayscale;
    jpeg.smoothing = options.smoothing ? DefaultSmoothingFactor : 0;
    WriteFileAtomically(path.toStdString(), [&](TStream& stream) { EncodeJPEG(bitmap, jpeg, stream); });
}

} // namespace animora
