#include "app/commands/FrameCommands.h"

#include "app/BusyCursor.h"
#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/dialogs/FramePairForm.h"
#include "app/dialogs/OptionForm.h"
#include "platform/Errors.h"
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

namespace {

void ShowRangeError(Project& project, const char* text)
{
    project.Ask().Message(QString::fromLatin1(text), QStringLiteral("Error!"), PromptIcon::Information,
                          PromptButtons::Ok);
}

// A frame number as typed; text that is not a number is reported as such.
int FrameNumber(const QString& text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return number;
}

// Both numbers of a two-field dialog, each within 1..count; nothing (after
// the field's message) when one is not.
std::optional<std::pair<int, int>> FramePair(Project& project, const FramePairFields& fields, const char* firstError,
                                             const char* secondError)
{
    const int count = project.FrameCount();
    const int first = FrameNumber(fields.first);
    if (first < 1 || first > count) {
        ShowRangeError(project, firstError);
        return std::nullopt;
    }
    const int second = FrameNumber(fields.second);
    if (second < 1 || second > count) {
        ShowRangeError(project, secondError);
        return std::nullopt;
    }
    return std::pair{first - 1, second - 1};
}

} // namespace

void DeleteFrame(Project& project)
{
    TGIFImage* document = project.Document();
    if (!document || document->Images().Count() == 0)
        return;
    if (document->Images().Count() == 1) {
        ShowRangeError(project, kOnlyFrameMessage);
        return;
    }
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

void ExchangeFrames(Project& project)
{
    if (!project.Document())
        return;
    const auto fields = project.Ask().Ask(ExchangeQuestion{});
    if (!fields)
        return;
    const auto pair = FramePair(project, *fields, "First parameter falls outside the limits allowable values.",
                                "Second parameter falls outside the limits allowable values.");
    if (!pair || pair->first == pair->second)
        return;
    project.Edit(QStringLiteral("Exchange frames"), [&](ProjectEdit& edit) {
        edit.Image().Images().Exchange(pair->first, pair->second);
        edit.Image().DropCaches();
        edit.FrameMoved(pair->first, pair->second);
        edit.FrameMoved(pair->second, pair->first);
    });
    project.SetCurrentFrame(project.CurrentFrame());  // the same index, now perhaps another frame
}

void MoveFrame(Project& project)
{
    if (!project.Document())
        return;
    const auto fields = project.Ask().Ask(MoveFrameQuestion{});
    if (!fields)
        return;
    const auto pair = FramePair(project, *fields, "Current parameter falls outside the limits allowable values.",
                                "New parameter falls outside the limits allowable values.");
    if (!pair || pair->first == pair->second)
        return;
    MoveFrameTo(project, pair->first, pair->second);
    project.SetCurrentFrame(project.CurrentFrame());
}

void MoveFrameTo(Project& project, int from, int to)
{
    project.Edit(QStringLiteral("Move frame"), [&](ProjectEdit& edit) {
        edit.Image().Images().MoveItem(from, to);
        edit.Image().DropCaches();
        edit.FrameMoved(from, to);
    });
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
