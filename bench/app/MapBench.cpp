// The map of the GIF on a long animation, the 380-frame muybridge GIF:
// opening the window and drawing every entry once (the list scrolled from
// the first page to the last, each page painted), goal under 200 ms; then the
// same walk again with every thumbnail made, goal under 20 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QDir>
#include <QListWidget>

#include "app/Project.h"
#include "app/map/MapForm.h"
#include "SilentPrompts.h"
#include "gif/GIFImage.h"

namespace animora {
namespace {

const std::string kMuybridge = std::string(ANIMORA_TESTDATA_DIR) + "/corpus/gifplayer-muybridge.gif";

// The GIF as the editor opens it: the document image freshly read, no frame
// rendered yet.
void OpenMuybridge(Project& project)
{
    project.Open("bench", [](TGIFImage& document) { document.LoadFromFile(kMuybridge); });
}

// Scrolls the list from the top to the bottom a page at a time and paints
// each page, as a user paging through it sees every entry once.
void DrawEveryEntry(TMapForm& map)
{
    QListWidget* list = map.List();
    list->scrollToTop();
    list->viewport()->repaint();
    const int rows = list->count();
    for (;;) {
        const QModelIndex bottom = list->indexAt(QPoint(1, list->viewport()->height() - 1));
        const int next = bottom.isValid() ? bottom.row() + 1 : rows;
        if (next >= rows)
            break;
        list->scrollTo(list->model()->index(next, 0), QAbstractItemView::PositionAtTop);
        list->viewport()->repaint();
    }
}

void BM_MapOpenAndDrawAll380(benchmark::State& state)
{
    SilentPrompts prompts;
    Project project(prompts, QDir::tempPath());
    int made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        OpenMuybridge(project);  // every iteration starts from unrendered frames
        state.ResumeTiming();
        auto map = std::make_unique<TMapForm>(project);
        map->show();
        QApplication::processEvents();
        DrawEveryEntry(*map);
        made = map->ThumbnailsMade();
        state.PauseTiming();
        map.reset();
        project.Close();
        state.ResumeTiming();
    }
    state.counters["thumbnails"] = made;
    if (made != 380)
        state.SkipWithError("not every entry was drawn");
}
BENCHMARK(BM_MapOpenAndDrawAll380)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_MapRedrawAll380Cached(benchmark::State& state)
{
    SilentPrompts prompts;
    Project project(prompts, QDir::tempPath());
    OpenMuybridge(project);
    TMapForm map(project);
    map.show();
    QApplication::processEvents();
    DrawEveryEntry(map);
    const int made = map.ThumbnailsMade();
    for (auto _ : state)
        DrawEveryEntry(map);
    state.counters["thumbnails made again"] = map.ThumbnailsMade() - made;
}
BENCHMARK(BM_MapRedrawAll380Cached)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace animora
