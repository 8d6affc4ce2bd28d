#include "app/commands/FrameCommands.h"

#include "app/BusyCursor.h"
#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/Prompts.h"
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
    const int index = document->Add(picture);
    project.RefreshPreviewCopy();
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
    document->Images().DeleteAt(project.CurrentFrame());
    document->DropCaches();
    project.RefreshPreviewCopy();
    NextFrame(project);
}

void FrameOption(Project& project)
{
    TGIFImage* preview = project.PreviewCopy();
    const int current = project.CurrentFrame();
    if (!preview || current >= preview->Images().Count())
        return;
    TGIFSubImage& frame = *preview->Images().SubImage(current);
    const auto size = project.Ask().AskFrameSize(QSize(frame.Width(), frame.Height()));
    if (!size)
        return;
    TBitmap* picture = frame.RenderedBitmap();
    if (!picture)
        return;
    emit project.stopRequested();  // no painter may read the frame while it changes
    picture->SetWidth(size->width());
    picture->SetHeight(size->height());
    project.SetCurrentFrame(current);  // shows the frame again
}

void OptimizeColorMap(Project& project)
{
    TGIFImage* preview = project.PreviewCopy();
    if (!project.IsOpen() || !preview)
        return;
    BusyCursor busy;
    preview->OptimizeColorMaps();
    project.SetCurrentFrame(project.CurrentFrame());  // shows the frame again
}

void NextFrame(Project& project)
{
    emit project.stepping();
    const int current = project.CurrentFrame();
    project.SetCurrentFrame(current < project.FrameCount() - 1 ? current + 1 : 0);
}

void PreviousFrame(Project& project)
{
    emit project.stepping();
    const int current = project.CurrentFrame();
    project.SetCurrentFrame(current > 0 ? current - 1 : project.FrameCount() - 1);
}

void FirstFrame(Project& project)
{
    emit project.stepping();
    project.SetCurrentFrame(0);
}

void LastFrame(Project& project)
{
    emit project.stepping();
    project.SetCurrentFrame(project.FrameCount() - 1);
}

} // namespace animora::commands
