#include "app/commands/FrameCommands.h"

#include "app/BusyCursor.h"
#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/dialogs/OptionForm.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Bitmap.h"

namespace animora::commands {

void AddFrame(Project& project)
{
    TGIFImage* document = project.Document();
    if (!document)
        return;
    TBitmap picture = BlankBitmap(10, 10);
    const int count = document->Images().Count();
    if (count > 0) {
        if (const TBitmap* last = document->Images().SubImage(count - 1)->RenderedBitmap())
            picture = *last;  // a copy: adding a frame may drop the caches
    }
    int index = 0;
    project.Edit(QStringLiteral("Add frame"), [&](ProjectEdit& edit) {
        index = edit.Image().Add(picture);
        edit.FramesInserted(index);
    });
    project.SetCurrentFrame(index);
}

void DeleteFrame(Project& project)
{
    TGIFImage* document = project.Document();
    if (!document || document->Images().Count() == 0)
        return;
    const PromptAnswer answer =
        project.Ask().Message(QStringLiteral("Are you sure that you want delete this frame?"), QStringLiteral("Warning"),
                              PromptIcon::Information, PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok)
        return;
    const int current = project.CurrentFrame();
    project.Edit(QStringLiteral("Delete frame"), [&](ProjectEdit& edit) {
        edit.Image().Images().DeleteAt(current);
        edit.Image().DropCaches();
        edit.FramesRemoved(current);
    });
    NextFrame(project);
}

void FrameOption(Project& project)
{
    TGIFImage* preview = project.PreviewCopy();
    const int current = project.CurrentFrame();
    if (!preview || current >= preview->Images().Count())
        return;
    TGIFSubImage& frame = *preview->Images().SubImage(current);
    const auto size = project.Ask().Ask(FrameSizeQuestion{QSize(frame.Width(), frame.Height())});
    if (!size)
        return;
    project.RequestStop();
    project.Edit(
        QStringLiteral("Frame option"),
        [&](ProjectEdit& edit) {
            TBitmap* picture = edit.Image().Images().SubImage(current)->RenderedBitmap();
            if (!picture)
                return;
            picture->SetWidth(size->width());
            picture->SetHeight(size->height());
            edit.FramePictureChanged(current);
        },
        EditTarget::PreviewCopy);
    project.SetCurrentFrame(current);  // shows the frame again
}

void OptimizeColorMap(Project& project)
{
    if (!project.IsOpen() || !project.PreviewCopy())
        return;
    BusyCursor busy;
    project.Edit(
        QStringLiteral("Optimize color map"),
        [](ProjectEdit& edit) {
            edit.Image().OptimizeColorMaps();
            edit.GlobalColorMapChanged();
        },
        EditTarget::PreviewCopy);
    project.SetCurrentFrame(project.CurrentFrame());  // shows the frame again
}

void NextFrame(Project& project)
{
    project.AnnounceStepping();
    const int current = project.CurrentFrame();
    project.SetCurrentFrame(current < project.FrameCount() - 1 ? current + 1 : 0);
}

void PreviousFrame(Project& project)
{
    project.AnnounceStepping();
    const int current = project.CurrentFrame();
    project.SetCurrentFrame(current > 0 ? current - 1 : project.FrameCount() - 1);
}

void FirstFrame(Project& project)
{
    project.AnnounceStepping();
    project.SetCurrentFrame(0);
}

void LastFrame(Project& project)
{
    project.AnnounceStepping();
    project.SetCurrentFrame(project.FrameCount() - 1);
}

} // namespace animora::commands
