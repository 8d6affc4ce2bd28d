#include "app/commands/FileCommands.h"

#include <QFileInfo>

#include "app/BusyCursor.h"
#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/ProjectFiles.h"
#include "app/Prompts.h"
#include "app/dialogs/CreateGIFForm.h"
#include "app/dialogs/SaveJPEGForm.h"
#include "color/ColorTypes.h"
#include "formats/Video.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"

namespace animora::commands {

namespace {

QString ProjectCaption(const QString& path)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(kMainCaption), QFileInfo(path).fileName());
}

void ShowError(Project& project, const char* text)
{
    project.Ask().Message(QString::fromLatin1(text), QStringLiteral("Error!"), PromptIcon::Information,
                          PromptButtons::Ok);
}

// A field of the create dialog: text that is not an integer counts as 0.
int FieldValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

// Runs `work` under a progress window with Cancel, the project held
// meanwhile. Cancel makes the progress handler raise EAbort, which the video
// code answers by writing nothing; false then.
bool RunUnderProgress(Project& project, const QString& caption, const QString& text,
                      const std::function<void(const TVideoProgress&)>& work)
{
    const Project::RunHold hold(project);
    const std::unique_ptr<ProgressWindow> window = project.Ask().ShowProgress({caption, text});
    const TVideoProgress progress = [&](TProgressStage stage, int percent, const std::string& message) {
        project.ShowProgress(stage, percent, message);
        if (stage != TProgressStage::psEnding && !window->Advance(percent, QString::fromStdString(message)))
            throw EAbort();
    };
    try {
        work(progress);
    } catch (const EAbort&) {
        return false;
    }
    return true;
}

// A video opens as the GIF of its frames, written beside it under the same
// name. Nothing of the open project changes before that GIF is complete:
// answering Cancel to the overwrite question or in the progress window, or
// a video that cannot be read, leaves the project, its file name and any
// old GIF as they were. Answers the GIF's path, or nothing.
std::optional<QString> ImportVideo(Project& project, const QString& videoPath)
{
    const QString gifPath = GifBesideVideo(QFileInfo(videoPath).absoluteFilePath());
    if (QFileInfo::exists(gifPath) &&
        project.Ask().Message(QStringLiteral("File exist. Overwrite"), QStringLiteral("Attention"),
                              PromptIcon::Information, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return std::nullopt;
    const bool done = RunUnderProgress(project, QStringLiteral("Open video"), QStringLiteral("Importing video..."),
                                       [&](const TVideoProgress& progress) {
                                           ImportAviToFile(videoPath.toStdString(), gifPath.toStdString(), progress);
                                       });
    if (!done)
        return std::nullopt;
    return gifPath;
}

// The file opened as the project (a GIF or a picture).
void OpenProjectFile(Project& project, const QString& path)
{
    CheckProjectFileSupported(path);
    // The full path is what the recent list keeps, so an entry still works
    // when the editor is next started from another folder.
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    project.SetFileName(fullPath);

    BusyCursor busy;
    project.Close();
    project.Open(ProjectCaption(fullPath), [&](TGIFImage& document) { LoadProjectFile(document, fullPath); });
}

// Writes the preview copy as a video, through a temporary file that
// replaces the old one only when complete. False when the user cancelled.
bool SaveAsVideo(Project& project, TGIFImage& image, const QString& path)
{
    return RunUnderProgress(project, QStringLiteral("Save video"), QStringLiteral("Exporting video..."),
                            [&](const TVideoProgress& progress) { ExportAvi(image, path.toStdString(), progress); });
}

} // namespace

void CloseProject(Project& project)
{
    project.Close();
}

void OpenProject(Project& project, const QString& path)
{
    if (!IsVideoProjectFile(path)) {
        OpenProjectFile(project, path);
        return;
    }
    if (const std::optional<QString> gif = ImportVideo(project, path))
        OpenProjectFile(project, *gif);
}

void Open(Project& project)
{
    project.RequestStop();
    const auto path = project.Ask().OpenFileName({QString::fromLatin1(kOpenFilter), QString()});
    if (path)
        OpenProject(project, *path);
}

void OpenRecent(Project& project, const QString& path)
{
    project.RequestStop();
    if (QFileInfo(path).isFile())
        OpenProject(project, path);
    else
        ShowError(project, "File not found.");
}

void Create(Project& project)
{
    const auto fields = project.Ask().Ask(CreateGifQuestion{});
    if (!fields)
        return;
    const int count = FieldValue(fields->frameCount);
    const int width = FieldValue(fields->frameWidth);
    const int height = FieldValue(fields->frameHeight);
    // A negative size is as meaningless as 0 and gets the same answer.
    if (count <= 0 || width <= 0 || height <= 0) {
        ShowError(project, "One of parameter = 0.");
        return;
    }

    // Every frame holds its own pixels; a typing slip must not ask for more
    // memory than a desktop has (the frames' own limits are per frame).
    constexpr int64_t kMaxProjectPixels = int64_t{1} << 28;
    if (int64_t{count} * width * height > kMaxProjectPixels)
        throw EOutOfMemory("The new project would need too much memory: " + std::to_string(count) + " frames of " +
                           std::to_string(width) + " x " + std::to_string(height) + " pixels");

    BusyCursor busy;
    project.Close();
    project.SetFileName(QString());
    const TBitmap blank = BlankBitmap(width, height);
    project.Open(QStringLiteral("%1: New Gif").arg(QLatin1String(kMainCaption)), [&](TGIFImage& document) {
        document.SetReductionMode(crOptimizedWindows);
        for (int i = 0; i < count; ++i)
            document.Add(blank);  // each frame gets its own copy of the pixels
    });
}

bool Save(Project& project)
{
    if (project.FileName().isEmpty()) {
        const auto path = project.Ask().SaveFileName({QString::fromLatin1(kSaveFilter), QStringLiteral("gif")});
        if (!path)
            return false;
        project.SetFileName(*path);
    }
    TGIFImage* image = project.PreviewCopy();
    if (!image)
        return false;
    const QString& path = project.FileName();
    switch (SaveKindFor(path)) {
    case SaveKind::Bitmap: {
        BusyCursor busy;
        SaveAsBitmap(*image, path);
        return true;
    }
    case SaveKind::Jpeg: {
        const auto options = project.Ask().Ask(JpegOptionsQuestion{});
        if (!options)
            return false;
        BusyCursor busy;
        SaveAsJpeg(*image, path, *options);
        return true;
    }
    case SaveKind::Avi:
        return SaveAsVideo(project, *image, path);
    case SaveKind::Gif:
        break;
    }
    BusyCursor busy;
    SaveAsGif(*image, path);
    return true;
}

void SaveAs(Project& project)
{
    const auto path = project.Ask().SaveFileName({QString::fromLatin1(kSaveFilter), QStringLiteral("gif")});
    if (!path)
        return;
    project.SetFileName(*path);
    project.SetCaption(ProjectCaption(*path));
    Save(project);
}

bool ConfirmClose(Project& project)
{
    if (!project.IsOpen())
        return true;
    const PromptAnswer answer = project.Ask().Message(QStringLiteral("Save changes?"), QStringLiteral("Confirm"),
                                                      PromptIcon::Question, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::Yes)
        Save(project);
    return true;
}

} // namespace animora::commands
