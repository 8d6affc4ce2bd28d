#pragma once
// The commands that bring a picture into the current frame or take the
// frame's picture out: Import (a picture file), Export (BMP, GIF or JPEG by
// the name's extension) and Scan.
#include <cstdint>
#include <functional>

#include <QString>

namespace animora {

class Project;

namespace commands {

inline constexpr const char* kImportFilter =
    "All (*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
inline constexpr const char* kExportFilter = "BMP Files|*.bmp|GIF Files|*.gif|JPG and JPEG Files|*.jpg;*.jpeg";

// Import: the open-picture dialog, then ImportPicture into the current frame.
void ImportFrame(Project& project);
// The picture of `path` (any picture the loader opens; a GIF's first frame)
// becomes the picture of frame `index` of the document image. A picture that
// cannot be read raises the loader's message and leaves the frame as it was.
void ImportPicture(Project& project, int index, const QString& path);
// A picture file added as a new last frame (the map's Add).
int AddPictureFrame(Project& project, const QString& path);

// Export: the save dialog, then the current frame's picture written by the
// name's extension: ".gif" a one-frame GIF, ".jpg"/".jpeg" a JPEG with the
// default settings, anything else a bitmap.
void ExportFrame(Project& project);

// Scan: `scan` runs the scanner (1 when it left gif.dat in the start
// folder), then the scanned picture becomes the current frame's.
void ScanFrame(Project& project, const std::function<uint8_t()>& scan);
// The scanned picture (gif.dat in the start folder) as frame `index`'s
// picture, or as a new last frame.
void ImportScan(Project& project, int index);
void AddScanFrame(Project& project);
void ExportPicture(Project& project, int index, const QString& path);

} // namespace commands
} // namespace animora
