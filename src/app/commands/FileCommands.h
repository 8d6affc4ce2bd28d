#pragma once
// The File menu and the project life cycle: open, close, create, save,
// save as, the recent projects and the question asked before the editor
// closes. Every question goes through the project's prompts.
#include <QString>

namespace animora {

class Project;

namespace commands {

inline constexpr const char* kOpenFilter =
    "All (*.gif;*.avi;*.jpg;*.gif;*.jpeg;*.bmp)|*.gif;*.avi;*.jpg;*.jpeg;*.bmp|Gif files|*.gif|"
    "Video for windows|*.avi|Bmp files|*.bmp|Jpeg files|*.jpg;*.jpeg|All files|*.*";
inline constexpr const char* kSaveFilter =
    "Gif files|*.gif|Jpg files|*.jpg;*.jpeg|Bmp files|*.bmp|Video for windows|*.avi";

// Opens `path` as the project. The old project is closed first; when loading
// fails the project still counts as open with whatever frames were read, and
// the failure is raised after the windows show that state.
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
// there is none). False when nothing was written because the user cancelled.
bool Save(Project& project);
// Save as: always asks for a name first.
void SaveAs(Project& project);

// "Save changes?" before the editor closes: false when the user cancelled.
bool ConfirmClose(Project& project);

} // namespace commands
} // namespace animora
