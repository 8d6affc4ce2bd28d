#include "app/commands/EffectCommands.h"

#include <functional>
#include <optional>
#include <string>

#include "app/BusyCursor.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/dialogs/FallWallForm.h"
#include "app/dialogs/LinesForm.h"
#include "app/dialogs/MoveApartForm.h"
#include "app/dialogs/RainForm.h"
#include "effects/Effects.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"

namespace animora::commands {

namespace {

// The dialog's answer, unless it was cancelled or names a run the image
// cannot give; a refusal is shown before any frame is read.
template <typename Question>
std::optional<typename Question::Answer> AskEffect(Project& project)
{
    if (!project.Document())
        return std::nullopt;
    std::optional<typename Question::Answer> params = project.Ask().Ask(Question{});
    if (!params)
        return std::nullopt;
    const std::string problem = effects::CheckEffect(*project.Document(), *params);
    if (!problem.empty()) {
        project.Ask().Message(QString::fromStdString(problem), QStringLiteral("Error!"), PromptIcon::Information,
                              PromptButtons::Ok);
        return std::nullopt;
    }
    return params;
}

// One change of the document image. Each frame is announced as the effect
// starts on it: when a frame fails part-way, what it already holds may have
// changed, and the frames before it have. Writing the picture back drops the
// frame's extensions (delay, disposal, transparency), which is announced too.
template <typename Params>
void Apply(Project& project, const QString& name, const Params& params,
           const std::function<void(int frame)>& onFrame = {})
{
    project.Edit(name, [&](ProjectEdit& edit) {
        effects::RunEffect(edit.Image(), params, [&](int frame) {
            edit.FramePictureChanged(frame);
            if (edit.Image().Images().SubImage(frame)->Extensions().Count() > 0)
                edit.FrameExtensionsChanged(frame);
            if (onFrame)
                onFrame(frame);
        });
    });
}

} // namespace

void FallWall(Project& project)
{
    if (const auto params = AskEffect<FallWallQuestion>(project)) {
        BusyCursor busy;
        Apply(project, QStringLiteral("Fall wall"), *params);
    }
}

void Rain(Project& project)
{
    Rain(project, effects::ClockSeed());
}

void Rain(Project& project, uint64_t seed)
{
    auto params = AskEffect<RainQuestion>(project);
    if (!params)
        return;
    params->seed = seed;
    const int first = params->firstFrame - 1;
    const int affected = params->frameCount - 1;
    // The bar empties and panel 0 says the editor is ready again (an ending
    // stage would clear the text).
    const auto ready = [&project] { project.ShowProgress(TProgressStage::psRunning, 0, "Ready"); };
    BusyCursor busy(Qt::BusyCursor);
    try {
        Apply(project, QStringLiteral("Rain"), *params, [&](int frame) {
            const int k = frame - first;
            project.ShowProgress(k == 0 ? TProgressStage::psStarting : TProgressStage::psRunning,
                                 k * 100 / affected, "Build image:" + std::to_string(frame));
        });
    } catch (...) {
        ready();
        throw;
    }
    ready();
}

void MoveApart(Project& project)
{
    if (const auto params = AskEffect<MoveApartQuestion>(project)) {
        BusyCursor busy;
        Apply(project, QStringLiteral("Move apart"), *params);
    }
}

void Lines(Project& project)
{
    if (const auto params = AskEffect<LinesQuestion>(project)) {
        BusyCursor busy;
        Apply(project, QStringLiteral("Lines"), *params);
    }
}

} // namespace animora::commands
