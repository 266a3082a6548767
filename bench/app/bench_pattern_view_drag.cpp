// Dragging a part on the pages of a large pattern: the 81,920-face sphere
// laid out at 1 m on A4, the pattern view on the offscreen platform, one
// frame a mouse move and its repaint. The time of a frame is what the user
// waits for between two positions of the part.
#include "app/pattern_view.h"
#include "bench_models.h"
#include "session/app_state.h"
#include "unfold/unfold_with_fewer_parts.h"
#include "unfold/take_up_model.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

namespace {

PatternView* dragView = nullptr;

bool layOutSphere()
{
    nettor::AppState& app = nettor::appState();
    app.listener = nullptr;
    app.replaceModel(nettor::bench::sphereModel(6));
    nettor::takeUpModel(app, *app.model);
    app.status.busy = true;
    app.status.quiet = true;
    nettor::unfoldAutomatically(app, *app.model);
    if (!app.status.finished) return false;
    nettor::PagesSettings pages;
    pages.finishedSizeMm = 1000.0;
    app.pagesSettings = pages;
    app.layoutMode = nettor::LayoutMode::Pages;
    app.layOutFinishedPattern();
    return app.pagesShown();
}

void sendMouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QWidget* target = dragView->viewport();
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void BM_DragAPartOnThePages(benchmark::State& state)
{
    const nettor::PagesLayout& layout = *nettor::appState().pagesLayout;
    // The first face of the first piece on page 1.
    const nettor::LaidOutPiece& piece = layout.pieces.front();
    const auto corners = layout.facePolygon(*piece.faces.front());
    nettor::MmPoint sum;
    for (const nettor::MmPoint& c : corners) sum = {sum.x + c.x, sum.y + c.y};
    const double n = static_cast<double>(corners.size());
    const QPointF from = dragView->viewportPoint(piece.page, piece.onPage({sum.x / n, sum.y / n}));
    sendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    if (nettor::appState().selectedPiece != 0) {
        state.SkipWithError("the press found no part");
        return;
    }
    if (!dragView->isVisible() || dragView->viewport()->visibleRegion().isEmpty()) {
        state.SkipWithError("the view is not shown");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        ++step;
        sendMouse(QEvent::MouseMove, from + QPointF(step % 200, (step / 2) % 150), Qt::NoButton, Qt::LeftButton);
        // The frame as the screen would get it.
        benchmark::DoNotOptimize(dragView->viewport()->grab());
    }
    sendMouse(QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    state.counters["pages"] = layout.pageCount;
    state.counters["pieces"] = static_cast<double>(layout.pieces.size());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (!layOutSphere()) return 1;
    PatternView view;
    view.resize(900, 700);
    view.show();
    dragView = &view;
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    nettor::notifyViews(nettor::ViewChange::LayoutChanged);
    view.onUpdateHint(static_cast<int>(nettor::ViewChange::LayoutChanged));
    benchmark::RegisterBenchmark("BM_DragAPartOnThePages/sphere81920/1m/A4", BM_DragAPartOnThePages)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(3.0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    nettor::appState().replaceModel(nullptr);
    return 0;
}
