// The document window under load: a 1000-point stroke of the pen and the
// long pen, and a flood fill, on a 1920 x 1080 frame, offscreen, with the
// window repainting what each move changed. A 240 Hz pointer needs at least
// 240 moves a second; the fill should take under 50 ms.
#include <benchmark/benchmark.h>

#include <cmath>

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "app/Project.h"
#include "app/Prompts.h"
#include "app/client/GifClientForm.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {
namespace {

// Nothing is asked while painting; every question would be a mistake.
class SilentPrompts : public Prompts {
public:
    PromptAnswer Message(const QString&, const QString&, PromptIcon, PromptButtons) override
    {
        return PromptAnswer::Cancel;
    }
    std::optional<QString> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }

protected:
    std::any AskDialog(const std::any&, const DialogRunner&) override { return {}; }
};

struct PaintFixture {
    PaintFixture() : project(prompts, QDir::tempPath())
    {
        TBitmap white(1920, 1080, PixelFormat::pf24bit);
        TCanvas(white).FillRect({0, 0, 1920, 1080}, 0xFFFFFF);
        project.Open("bench", [&](TGIFImage& document) { document.Add(white); });
        form = std::make_unique<TGifClientForm>(project);
        form->resize(1000, 700);
        form->show();
        QApplication::processEvents();
        paint = form->findChild<QWidget*>("FramePaint");
    }
    SilentPrompts prompts;
    Project project;
    std::unique_ptr<TGifClientForm> form;
    QWidget* paint = nullptr;
};

void Stroke(benchmark::State& state, ActionId tool)
{
    PaintFixture fixture;
    fixture.form->SelectTool(tool);
    for (auto _ : state) {
        fixture.form->PaintPress(QPointF(100, 100), Qt::LeftButton);
        for (int i = 0; i < 1000; ++i) {
            // A wandering path across the frame, a few pixels a move.
            const double t = i / 1000.0;
            fixture.form->PaintMove(QPointF(100 + 1700 * t, 540 + 400 * std::sin(t * 20)));
            QApplication::processEvents();  // the repaint of what the move changed
        }
        fixture.form->PaintRelease(QPointF(1800, 540));
    }
    state.counters["moves/s"] = benchmark::Counter(1000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PenStroke1080p(benchmark::State& state)
{
    Stroke(state, ActionId::PenButton);
}
BENCHMARK(BM_PenStroke1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LongPenStroke1080p(benchmark::State& state)
{
    Stroke(state, ActionId::LongPenButton);
}
BENCHMARK(BM_LongPenStroke1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FloodFill1080p(benchmark::State& state)
{
    PaintFixture fixture;
    fixture.form->SelectTool(ActionId::FillButton);
    int round = 0;
    for (auto _ : state) {
        // Alternate colours so every fill covers the whole frame again.
        fixture.form->SetBrushColor(++round % 2 ? Qt::red : Qt::blue);
        fixture.form->PaintPress(QPointF(500, 500), Qt::LeftButton);
        fixture.form->PaintRelease(QPointF(500, 500));
    }
}
BENCHMARK(BM_FloodFill1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace animora

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
