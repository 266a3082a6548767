// Automatic unfolding of a subdivided sphere with each strategy.
#include "bench_models.h"
#include "model/mesh.h"
#include "session/session.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_all.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

using nettor::bench::separateTriangles;
using nettor::bench::sphereModel;

void BM_UnfoldSphere(benchmark::State& state)
{
    const int levels = static_cast<int>(state.range(0));
    const int strategy = static_cast<int>(state.range(1));
    nettor::Session app;
    app.listener = nullptr;
    app.settings.unfoldStrategy = strategy;
    app.overlapCheck = 1;
    std::size_t parts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        app.replaceModel(sphereModel(levels));
        nettor::takeUpModel(app, *app.model);
        app.status.busy = true;
        state.ResumeTiming();
        nettor::unfoldAll(app, *app.model);
        parts = app.model->parts.size();
    }
    state.counters["faces"] = static_cast<double>(app.model->faceCount);
    state.counters["parts"] = static_cast<double>(parts);
    app.replaceModel(nullptr);
}

void BM_ArrangeSeparateTriangles(benchmark::State& state)
{
    nettor::Session app;
    app.listener = nullptr;
    app.overlapCheck = 1;
    for (auto _ : state) {
        state.PauseTiming();
        app.replaceModel(separateTriangles(static_cast<int>(state.range(0))));
        nettor::takeUpModel(app, *app.model);
        app.status.busy = true;
        state.ResumeTiming();
        nettor::unfoldAll(app, *app.model);
    }
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    app.replaceModel(nullptr);
}

} // namespace

// 1280 and 5120 faces, strategies 0, 1 and 2.
BENCHMARK(BM_UnfoldSphere)
    ->ArgsProduct({{3, 4}, {0, 1, 2}})
    ->ArgNames({"levels", "strategy"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ArrangeSeparateTriangles)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
