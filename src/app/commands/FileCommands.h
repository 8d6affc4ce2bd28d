#pragma once
// The File menu and the project life cycle: open, close, create, save,
// save as, the recent projects and the question asked before the editor
// closes. Every question goes through the project's prompts.
#include <QString>

namespace animora {

class Project;

namespace commands {

// Videos open as the GIF of their frames and save by extension.
inline constexpr const char* kOpenFilter =
    "All (*.gif;*.avi;*.jpg;*.gif;*.jpeg;*.bmp)|"
    "*.gif;*.avi;*.mp4;*.mkv;*.mov;*.webm;*.webp;*.apng;*.jpg;*.jpeg;*.bmp|Gif files|*.gif|"
    "Video for windows|*.avi|"
    "Videos|*.avi;*.mp4;*.m4v;*.mkv;*.mov;*.webm;*.webp;*.apng;*.mpg;*.mpeg;*.ts;*.flv;*.ogv;*.wmv;*.3gp|"
    "Bmp files|*.bmp|Jpeg files|*.jpg;*.jpeg|All files|*.*";
inline constexpr const char* kSaveFilter =
    "Gif files|*.gif|Jpg files|*.jpg;*.jpeg|Bmp files|*.bmp|Video for windows|*.avi|MP4 video|*.mp4|"
    "WebM video|*.webm|Animated WebP|*.webp|Animated PNG|*.apng|Matroska video|*.mkv|QuickTime video|*.mov";

// Opens `path` as the project. The old project is closed first; when loading
// fails the project still counts as open with whatever frames were read, and
// the failure is raised after the windows show that state. A video first
// becomes a GIF beside it ("File exist. Overwrite" when there is one), under
// a progress window with Cancel; that GIF is what opens. Until it is
// complete nothing of the open project changes.
void OpenProject(Project& project, const QString& path);
// Drops the document image and records the file name among the recent projects.
void CloseProject(Project& project);

// Open: the open dialog, then OpenProject.
void Open(Project& project);
// A recent entry: opens it, or says "File not found." when it is gone.
void OpenRecent(Project& project, const QString& path);

// Create: the create dialog and its checks, then a new project of blank frames.
void Create(Project& project);

// Save by the extension of the project file name (asking for a name when
// there is none); a video under a progress window with Cancel. False when
// nothing was written because the user cancelled.
bool Save(Project& project);
// Save as: always asks for a name first.
void SaveAs(Project& project);

// "Save changes?" before the editor closes: false when the user cancelled.
bool ConfirmClose(Project& project);

} // namespace commands
} // namespace animora
