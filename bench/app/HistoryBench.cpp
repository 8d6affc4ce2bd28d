// The project's history on a long animation: 100 frame moves of the
// 380-frame muybridge GIF, then undo after undo. Each undo should take
// under 50 ms, and the history stays within its budget.
#include <benchmark/benchmark.h>

#include <QDir>

#include "app/Project.h"
#include "app/commands/FrameCommands.h"
#include "SilentPrompts.h"
#include "gif/GIFImage.h"

namespace animora {
namespace {

void BM_UndoFrameMove380Frames(benchmark::State& state)
{
    SilentPrompts prompts;
    Project project(prompts, QDir::tempPath());
    const std::string file = std::string(ANIMORA_TESTDATA_DIR) + "/corpus/gifplayer-muybridge.gif";
    project.Open("bench", [&](TGIFImage& document) { document.LoadFromFile(file); });
    for (int i = 0; i < 100; ++i)
        commands::MoveFrameTo(project, i, 379 - i);
    state.counters["history MB"] = double(project.History().Bytes()) / (1 << 20);
    int undone = 0;
    for (auto _ : state) {
        if (!project.CanUndo()) {
            state.PauseTiming();
            while (project.CanRedo())
                project.Redo();
            state.ResumeTiming();
        }
        project.Undo();
        ++undone;
    }
    state.counters["undos"] = undone;
}
BENCHMARK(BM_UndoFrameMove380Frames)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

} // namespace
} // namespace animora
