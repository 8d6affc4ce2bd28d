#include "app/commands/FrameFileCommands.h"

#include <QDir>

#include "app/BusyCursor.h"
#include "app/Project.h"
#include "app/ProjectFiles.h"
#include "app/Prompts.h"
#include "app/dialogs/OpenPictureDialog.h"
#include "app/scanner/Scanning.h"
#include "formats/JPEGImage.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

namespace animora::commands {

namespace {

// The picture a file holds, as the frame bitmap a new one-frame GIF of it
// renders. Reading happens before anything of the project is touched.
TBitmap PictureOf(const QString& path)
{
    TGIFImage picture;
    LoadProjectFile(picture, path);
    if (picture.Images().Count() == 0)
        throw EInvalidGraphic("The picture has no frames: " + path.toStdString());
    const TBitmap* bitmap = picture.Images().SubImage(0)->RenderedBitmap();
    if (!bitmap)
        throw EInvalidGraphic("The picture has no pixels: " + path.toStdString());
    return *bitmap;
}

// The scanner's picture: gif.dat, a Windows bitmap, in the start folder.
TBitmap ScannedPicture(Project& project)
{
    const QString path = QDir(project.StartDirectory()).filePath(QString::fromLatin1(kScanExchangeFile));
    TBitmap picture;
    picture.LoadFromFile(path.toStdString());
    return picture;
}

void GivePicture(Project& project, int index, const TBitmap& picture, const char* name)
{
    project.Edit(QString::fromLatin1(name), [&](ProjectEdit& edit) {
        edit.Image().Images().SubImage(index)->SetRenderedBitmap(&picture);
        edit.FramePictureChanged(index);
    });
    project.SetCurrentFrame(project.CurrentFrame());
}

int AddFrame(Project& project, const TBitmap& picture, const char* name)
{
    int added = -1;
    project.Edit(QString::fromLatin1(name), [&](ProjectEdit& edit) {
        added = edit.Image().Add(picture);
        edit.FramesInserted(added);
    });
    return added;
}

} // namespace

void ScanFrame(Project& project, const std::function<uint8_t()>& scan)
{
    if (!project.Document() || project.FrameCount() == 0)
        return;
    if (scan() == 1)
        ImportScan(project, project.CurrentFrame());
}

void ImportScan(Project& project, int index)
{
    const TBitmap picture = ScannedPicture(project);
    GivePicture(project, index, picture, "Scan");
}

void AddScanFrame(Project& project)
{
    const TBitmap picture = ScannedPicture(project);
    AddFrame(project, picture, "Scan");
    project.SetCurrentFrame(project.CurrentFrame());
}

void ImportFrame(Project& project)
{
    if (!project.Document() || project.FrameCount() == 0)
        return;
    const auto path = project.Ask().Ask(OpenPictureQuestion{QString::fromLatin1(kImportFilter)});
    if (path)
        ImportPicture(project, project.CurrentFrame(), *path);
}

void ImportPicture(Project& project, int index, const QString& path)
{
    BusyCursor busy;
    GivePicture(project, index, PictureOf(path), "Import");
}

int AddPictureFrame(Project& project, const QString& path)
{
    BusyCursor busy;
    return AddFrame(project, PictureOf(path), "Add frame");
}

void ExportFrame(Project& project)
{
    if (!project.Document() || project.FrameCount() == 0)
        return;
    const auto path = project.Ask().SaveFileName({QString::fromLatin1(kExportFilter), QStringLiteral("bmp")});
    if (path)
        ExportPicture(project, project.CurrentFrame(), *path);
}

void ExportPicture(Project& project, int index, const QString& path)
{
    const TBitmap* picture = project.Document()->Images().SubImage(index)->RenderedBitmap();
    if (!picture)
        throw EInvalidGraphicOperation("The frame has no picture to export");
    BusyCursor busy;
    const std::string file = path.toStdString();
    switch (SaveKindFor(path)) {
    case SaveKind::Gif: {
        TGIFImage gif;
        gif.Assign(*picture);
        gif.SaveToFile(file);
        break;
    }
    case SaveKind::Jpeg:
        WriteFileAtomically(file, [&](TStream& stream) { EncodeJPEG(*picture, TJPEGOptions{}, stream); });
        break;
    default:
        picture->SaveToFile(file);
        break;
    }
}

} // namespace animora::commands
