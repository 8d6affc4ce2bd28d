#include "app/commands/AnimationCommands.h"

#include <functional>
#include <optional>

#include "app/BusyCursor.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/dialogs/AnimationForms.h"
#include "app/extensions/ExtensionsForm.h"
#include "edits/Edits.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora::commands {

namespace {

// What an edit did: changed the image, or found nothing to do (and did not
// touch it).
enum class Outcome { Changed, Unchanged };

using AnimationEdit = std::function<Outcome(TGIFImage& image)>;

void Tell(Project& project, const char* name, const QString& text)
{
    project.Ask().Message(text, QString::fromLatin1(name), PromptIcon::Warning, PromptButtons::Ok);
}

// One step of the history, named `name`. A refusal of the engine (raised
// before the image changes) records no step and is shown; so is
// `unchangedMessage`, when given, if the edit found nothing to do.
void Apply(Project& project, const char* name, const AnimationEdit& change, const char* unchangedMessage = nullptr)
{
    if (!project.Document())
        return;
    std::optional<QString> refusal;
    bool changed = false;
    {
        BusyCursor busy;
        project.RequestStop();
        project.EditWhole(QString::fromLatin1(name), [&](ProjectEdit& edit) {
            try {
                changed = change(edit.Image()) == Outcome::Changed;
            } catch (const edits::EEditError& error) {
                refusal = QString::fromStdString(error.what());
            }
            if (!changed)
                edit.Unchanged();
        });
    }
    if (refusal)
        Tell(project, name, QStringLiteral("%1. Nothing was changed.").arg(*refusal));
    else if (!changed && unchangedMessage)
        Tell(project, name, QString::fromLatin1(unchangedMessage));
}

Outcome ChangedUnlessCountStays(TGIFImage& image, void (*edit)(TGIFImage&))
{
    const int before = image.Images().Count();
    edit(image);
    return image.Images().Count() == before ? Outcome::Unchanged : Outcome::Changed;
}

edits::TFrameRange FromOne(const FrameRangeFields& range)
{
    return {range.first - 1, range.last - 1};
}

} // namespace

void ReverseAnimation(Project& project)
{
    Apply(project, kReverseName, [](TGIFImage& image) {
        edits::Reverse(image);
        return Outcome::Changed;
    });
}

void PingPongAnimation(Project& project)
{
    Apply(
        project, kPingPongName, [](TGIFImage& image) { return ChangedUnlessCountStays(image, &edits::PingPong); },
        kPingPongTooFew);
}

void SetDelay(Project& project)
{
    const TGIFImage* document = project.Document();
    if (!document)
        return;
    SetDelayQuestion question;
    question.frameCount = document->Images().Count();
    question.currentFrame = project.CurrentFrame() + 1;
    if (project.CurrentFrame() < question.frameCount)
        if (const auto* control = document->Images().SubImage(project.CurrentFrame())->GraphicControl())
            question.milliseconds = control->Delay() * 10;
    const auto fields = project.Ask().Ask(question);
    if (!fields)
        return;
    // Milliseconds as the extensions explorer turns them into hundredths.
    const int delay = fields->milliseconds < 0 ? -1 : DelayFromMilliseconds(fields->milliseconds);
    Apply(project, kSetDelayName, [&](TGIFImage& image) {
        if (fields->allFrames)
            edits::SetDelay(image, delay);
        else
            edits::SetDelay(image, delay, FromOne(fields->range));
        return Outcome::Changed;
    });
}

void ChangeSpeed(Project& project)
{
    if (!project.Document())
        return;
    const auto percent = project.Ask().Ask(ChangeSpeedQuestion{});
    if (!percent)
        return;
    Apply(project, kChangeSpeedName, [&](TGIFImage& image) {
        edits::ChangeSpeed(image, *percent);
        return *percent == 100 ? Outcome::Unchanged : Outcome::Changed;
    });
}

void ResizeAnimation(Project& project)
{
    const TGIFImage* document = project.Document();
    if (!document)
        return;
    const auto size = project.Ask().Ask(ResizeQuestion{QSize(document->GetWidth(), document->GetHeight())});
    if (!size)
        return;
    Apply(project, kResizeName, [&](TGIFImage& image) {
        if (size->width() == image.GetWidth() && size->height() == image.GetHeight() && image.Images().Count() > 0)
            return Outcome::Unchanged;
        edits::Resize(image, size->width(), size->height());
        return Outcome::Changed;
    });
}

void CropAnimation(Project& project)
{
    const TGIFImage* document = project.Document();
    if (!document)
        return;
    const auto rect = project.Ask().Ask(CropQuestion{QSize(document->GetWidth(), document->GetHeight())});
    if (!rect)
        return;
    Apply(project, kCropName, [&](TGIFImage& image) {
        edits::Crop(image, TRect{rect->left(), rect->top(), rect->left() + rect->width(), rect->top() + rect->height()});
        return Outcome::Changed;
    });
}

void DeleteFrameRange(Project& project)
{
    if (!project.Document())
        return;
    const auto range =
        project.Ask().Ask(DeleteRangeQuestion{project.FrameCount(), project.CurrentFrame() + 1});
    if (!range)
        return;
    Apply(project, kDeleteFramesName, [&](TGIFImage& image) {
        edits::DeleteRange(image, FromOne(*range));
        return Outcome::Changed;
    });
}

void KeepEveryNth(Project& project)
{
    if (!project.Document())
        return;
    const auto every = project.Ask().Ask(KeepEveryQuestion{});
    if (!every)
        return;
    Apply(project, kKeepEveryName, [&](TGIFImage& image) {
        edits::KeepEvery(image, *every);
        return *every == 1 ? Outcome::Unchanged : Outcome::Changed;
    });
}

void DropDuplicateFrames(Project& project)
{
    Apply(
        project, kDropDuplicatesName, [](TGIFImage& image) { return ChangedUnlessCountStays(image, &edits::Dedupe); },
        kNoDuplicates);
}

} // namespace animora::commands
