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

// Raises the reason when `path` cannot be opened as a project (an extension
// neither the picture loader nor the video import knows), before anything of
// the open project is touched.
void CheckProjectFileSupported(const QString& path);

// A video (AVI, MP4, WebM, animated WebP, ...) opens through the video
// import: the GIF of its frames is written beside it (GifBesideVideo) and
// that GIF is opened.
bool IsVideoProjectFile(const QString& path);
// The video's path with the extension ".gif" in place of its own.
QString GifBesideVideo(const QString& videoPath);

// Loads `path` into `image` by its extension (not a video). A GIF is read whole by the
// codec (warnings and progress go to the image's handlers); any other
// picture becomes one frame, reduced by the image's settings.
void LoadProjectFile(TGIFImage& image, const QString& path);

// Avi is every video kind the export writes, by extension (.avi, .mp4,
// .webm, .webp, .apng, ...).
enum class SaveKind { Gif, Bitmap, Jpeg, Avi };
SaveKind SaveKindFor(const QString& path);

// The writers behind Save. Each writes through a temporary file that
// replaces `path` only when complete.
void SaveAsGif(TGIFImage& image, const QString& path);
void SaveAsBitmap(const TGIFImage& image, const QString& path);
void SaveAsJpeg(const TGIFImage& image, const QString& path, const JpegSaveOptions& options);

} // namespace animora
