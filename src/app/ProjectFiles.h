#pragma once
// Reading a file into the document image and writing the project by the
// extension of its name.
#include <QString>


namespace animora {

class TGIFImage;

// The JPEG save settings the JPEG options dialog gives.
struct JpegSaveOptions {
    int quality = 50;
    bool grayscale = false;
    bool smoothing = false;
};

// The upper-cased extension with its dot (".GIF"), empty when there is none.
QString UpperExtension(const QString& path);

// Raises the reason when `path` cannot be opened as a project (AVI video,
// which needs the video import; an extension the picture loader does not
// know), before anything of the open project is touched.
void CheckProjectFileSupported(const QString& path);

// Loads `path` into `image` by its extension. A GIF is read whole by the
// codec (warnings and progress go to the image's handlers); any other
// picture becomes one frame, reduced by the image's settings.
void LoadProjectFile(TGIFImage& image, const QString& path);

enum class SaveKind { Gif, Bitmap, Jpeg, Avi };
SaveKind SaveKindFor(const QString& path);

// The writers behind Save. Each writes through a temporary file that
// replaces `path` only when complete.
void SaveAsGif(TGIFImage& image, const QString& path);
void SaveAsBitmap(const TGIFImage& image, const QString& path);
void SaveAsJpeg(const TGIFImage& image, const QString& path, const JpegSaveOptions& options);

} // namespace animora
