// The two views' frames on big models: subdivided spheres of 20,480, 81,920
// and 327,680 faces. The 3D view draws into its framebuffer on an offscreen
// surface with a compatibility context (run it under Xvfb), once face by
// face in immediate mode and once from the vertex arrays, while the model is
// unfolded (taken up, every edge drawn; from the arrays also turned a little
// before every frame, as a drag turns it) and once it is finished. The pattern
// view paints the finished pattern of the one-sheet layout into an image,
// once drawn afresh and once played back from its recording, fitted and
// zoomed in. A frame's time is what the user waits for between two pictures;
// the arrays and the recording are made on the first frame, and their
// making is timed on its own.
#include "app/gl_surface_format.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "bench_models.h"
#include "pattern/recorded_drawing.h"
#include "scene/model_arrays.h"
#include "session/app_state.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_with_fewer_parts.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

ModelView* modelView = nullptr;
PatternView* patternView = nullptr;
int sceneLevels = -1;

// The sphere of 20 * 4^levels faces taken up, and unfolded when finished.
bool prepare(int levels, bool finished)
{
    nettor::AppState& app = nettor::appState();
    if (levels != sceneLevels || (app.status.finished && !finished)) {
        app.listener = nullptr;
        app.replaceModel(nettor::bench::sphereModel(levels));
        nettor::takeUpModel(app, *app.model);
        sceneLevels = levels;
        modelView->onUpdateHint(static_cast<int>(nettor::ViewChange::ModelReplaced));
        patternView->onUpdateHint(static_cast<int>(nettor::ViewChange::ModelReplaced));
    }
    if (finished && !app.status.finished) {
        app.status.busy = true;
        app.status.quiet = true;
        nettor::unfoldAutomatically(app, *app.model);
        app.status.busy = false;
        if (!app.status.finished) return false;
        modelView->onUpdateHint(static_cast<int>(nettor::ViewChange::UnfoldingFinished));
        patternView->onUpdateHint(static_cast<int>(nettor::ViewChange::UnfoldingFinished));
    }
    return true;
}

void BM_ModelViewFrame(benchmark::State& state, int levels, bool finished, ModelView::DrawPath path)
{
    if (!prepare(levels, finished)) {
        state.SkipWithError("the sphere was not unfolded");
        return;
    }
    modelView->setDrawPath(path);
    const QImage first = modelView->grabFramebuffer(); // the arrays are made here
    if (first.isNull()) {
        state.SkipWithError("no OpenGL framebuffer");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(modelView->grabFramebuffer());
    state.counters["faces"] = static_cast<double>(nettor::appState().model->objects[0]->faces.size());
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The model turned a little before every frame, as a drag turns it: what
// can be seen from the eye is found again each time.
void BM_ModelViewTurning(benchmark::State& state, int levels)
{
    if (!prepare(levels, false)) {
        state.SkipWithError("the sphere was not taken up");
        return;
    }
    modelView->setDrawPath(ModelView::DrawPath::Arrays);
    if (modelView->grabFramebuffer().isNull()) {
        state.SkipWithError("no OpenGL framebuffer");
        return;
    }
    const nettor::SceneCamera& camera = modelView->camera();
    int step = 0;
    for (auto _ : state) {
        const double angle = 0.002 * ++step; // about a pixel at the rim
        const nettor::Quaternion turn{0.0f, static_cast<float>(std::sin(angle)), 0.0f, static_cast<float>(std::cos(angle))};
        modelView->placeCamera(turn, camera.modelCentre(), camera.cameraDistance());
        benchmark::DoNotOptimize(modelView->grabFramebuffer());
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ModelArrays(benchmark::State& state, int levels, bool finished)
{
    if (!prepare(levels, finished)) {
        state.SkipWithError("the sphere was not unfolded");
        return;
    }
    const nettor::AppState& app = nettor::appState();
    for (auto _ : state) benchmark::DoNotOptimize(nettor::buildModelArrays(*app.model, {false, finished, false}));
}

// The finished pattern after zoomSteps zoom-in commands after the sheet was fitted to the view.
// Afresh: the parts changed before every frame, which records and paints
// the picture again.
void BM_PatternViewFrame(benchmark::State& state, int levels, int zoomSteps, PatternView::SheetDrawing how,
                         bool afresh)
{
    if (!prepare(levels, true)) {
        state.SkipWithError("the sphere was not unfolded");
        return;
    }
    patternView->onUpdateHint(static_cast<int>(nettor::ViewChange::ModelReplaced)); // fitted again
    for (int i = 0; i < zoomSteps; ++i)
        patternView->onUpdateHint(static_cast<int>(nettor::ViewChange::ZoomInRequested));
    patternView->setSheetDrawing(how);
    QWidget* viewport = patternView->viewport();
    QImage image(viewport->size(), QImage::Format_RGB32);
    viewport->render(&image); // the recording is made here
    for (auto _ : state) {
        if (afresh) patternView->patternChanged();
        viewport->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["zoom"] = patternView->sheetView().zoom;
}

} // namespace

int main(int argc, char** argv)
{
    requestCompatibilityContext();
    QApplication application(argc, argv);
    ModelView model;
    model.resize(800, 600); // drawn offscreen: never shown
    modelView = &model;
    PatternView pattern;
    pattern.resize(900, 700);
    pattern.show(); // laid out, painted into an image
    patternView = &pattern;
    for (int i = 0; i < 10; ++i) QApplication::processEvents();

    using Path = ModelView::DrawPath;
    using Sheet = PatternView::SheetDrawing;
    for (const int levels : {5, 6, 7}) {
        const std::string faces = std::to_string(20 << (2 * levels));
        auto frame = [&](const std::string& name, bool finished, Path path) {
            benchmark::RegisterBenchmark(("BM_ModelViewFrame/" + name + "/" + faces).c_str(), BM_ModelViewFrame,
                                         levels, finished, path)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5)
                ->UseRealTime();
        };
        frame("unfolding/immediate", false, Path::Immediate);
        frame("unfolding/arrays", false, Path::Arrays);
        benchmark::RegisterBenchmark(("BM_ModelViewFrame/unfolding/arrays_turning/" + faces).c_str(),
                                     BM_ModelViewTurning, levels)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_ModelArrays/unfolding/" + faces).c_str(), BM_ModelArrays, levels, false)
            ->Unit(benchmark::kMillisecond);
        frame("finished/immediate", true, Path::Immediate);
        frame("finished/arrays", true, Path::Arrays);
        benchmark::RegisterBenchmark(("BM_ModelArrays/finished/" + faces).c_str(), BM_ModelArrays, levels, true)
            ->Unit(benchmark::kMillisecond);
        for (const int zoom : {0, 4}) {
            const std::string shown = zoom ? "zoomed/" : "fitted/";
            auto paint = [&](const std::string& name, Sheet how, bool afresh) {
                benchmark::RegisterBenchmark(("BM_PatternViewFrame/" + shown + name + "/" + faces).c_str(),
                                             BM_PatternViewFrame, levels, zoom, how, afresh)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.5)
                    ->UseRealTime();
            };
            paint("direct", Sheet::Direct, false);
            paint("recorded", Sheet::Recorded, false);
            paint("recorded_afresh", Sheet::Recorded, true);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    nettor::appState().replaceModel(nullptr);
    return 0;
}
