// The unfolding engine against the straightforward reference engine kept in
// the test tree: spheres unfolded and completed, many separate triangles
// arranged, a whole run from an OBJ file to an EPS file, and the arrangement
// and the EPS writer alone on that run's pattern.
#include "bench_models.h"
#include "counting_buffer.h"
#include "formats/eps_writer.h"
#include "model/mesh.h"
#include "session/session.h"
#include "support/reference_engine/reference_engine.h"
#include "unfold/arrange_parts.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_all.h"
#include "unfold/unfold_with_fewer_parts.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using nettor::bench::separateTriangles;
using nettor::bench::sphereModel;

enum Engine { Fast = 0, Reference = 1 };

// The one session the benchmarks unfold in.
nettor::Session& benchSession()
{
    static nettor::Session session;
    return session;
}

void unfoldWith(int engine, nettor::Model& model)
{
    if (engine == Reference)
        nettor::reference::unfoldAll(benchSession(), model);
    else
        nettor::unfoldAll(benchSession(), model);
}

void prepare(std::unique_ptr<nettor::Model> model)
{
    nettor::Session& app = benchSession();
    app.replaceModel(std::move(model));
    nettor::takeUpModel(benchSession(), *app.model);
    app.status.busy = true;
    app.status.quiet = true;
}

void BM_SphereUnfoldAndComplete(benchmark::State& state)
{
    const int engine = static_cast<int>(state.range(0));
    const int levels = static_cast<int>(state.range(1));
    nettor::Session& app = benchSession();
    app.listener = nullptr;
    app.settings.unfoldStrategy = 1;
    app.overlapCheck = 1;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(sphereModel(levels));
        state.ResumeTiming();
        unfoldWith(engine, *app.model);
    }
    state.counters["faces"] = static_cast<double>(app.model->faceCount);
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    app.replaceModel(nullptr);
}

void BM_ArrangeSeparateTriangles(benchmark::State& state)
{
    const int engine = static_cast<int>(state.range(0));
    nettor::Session& app = benchSession();
    app.listener = nullptr;
    app.overlapCheck = 1;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(separateTriangles(static_cast<int>(state.range(1))));
        state.ResumeTiming();
        unfoldWith(engine, *app.model);
    }
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    app.replaceModel(nullptr);
}

// What nettor-cli unfold does: read, take up, unfold, complete, write EPS.
void BM_ObjToEps100kTriangles(benchmark::State& state)
{
    const int engine = static_cast<int>(state.range(0));
    const std::string& objPath = nettor::bench::heightField100kObj();
    const std::string epsPath = (std::filesystem::temp_directory_path() / "nettor_bench_100k.eps").string();
    nettor::Session& app = benchSession();
    app.listener = nullptr;
    app.settings.unfoldStrategy = 1;
    app.overlapCheck = 1;
    for (auto _ : state) {
        auto model = std::make_unique<nettor::Model>();
        if (!model->readObj(objPath)) {
            state.SkipWithError("read failed");
            break;
        }
        prepare(std::move(model));
        if (engine == Reference)
            nettor::reference::unfoldAll(app, *app.model);
        else
            nettor::unfoldAutomatically(benchSession(), *app.model);
        std::ofstream eps(epsPath, std::ios::binary);
        nettor::writeEps(*app.model, app.settings, eps);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["faces"] = static_cast<double>(app.model->faceCount);
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    state.counters["peakKiB"] = static_cast<double>(usage.ru_maxrss);
    app.replaceModel(nullptr);
}

// The 100,000-triangle height field unfolded in the benchmarks' session;
// false (the benchmark skipped) when it cannot be read.
bool unfoldHeightField100k(benchmark::State& state)
{
    nettor::Session& app = benchSession();
    app.listener = nullptr;
    app.settings.unfoldStrategy = 1;
    app.overlapCheck = 1;
    auto model = std::make_unique<nettor::Model>();
    if (!model->readObj(nettor::bench::heightField100kObj())) {
        state.SkipWithError("read failed");
        return false;
    }
    prepare(std::move(model));
    nettor::unfoldAutomatically(app, *app.model);
    return true;
}

// The EPS writer on the pattern of the 100,000-triangle height field.
void BM_WriteEps100kTriangles(benchmark::State& state)
{
    if (!unfoldHeightField100k(state)) return;
    nettor::Session& app = benchSession();
    for (auto _ : state) {
        nettor::bench::CountingBuffer buffer;
        std::ostream out(&buffer);
        nettor::writeEps(*app.model, app.settings, out);
        benchmark::DoNotOptimize(buffer.count);
    }
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    app.replaceModel(nullptr);
}

// The arrangement alone on the parts of the 100,000-triangle height field.
void BM_ArrangeParts100kTriangles(benchmark::State& state)
{
    if (!unfoldHeightField100k(state)) return;
    nettor::Session& app = benchSession();
    for (auto _ : state) nettor::arrangeParts(*app.model);
    state.counters["parts"] = static_cast<double>(app.model->parts.size());
    app.replaceModel(nullptr);
}

} // namespace

// Spheres of 5,120, 20,480 and 81,920 faces; the reference engine only on
// the first two (the largest takes it minutes).
BENCHMARK(BM_SphereUnfoldAndComplete)
    ->ArgNames({"reference", "levels"})
    ->Args({Fast, 4})
    ->Args({Fast, 5})
    ->Args({Fast, 6})
    ->Args({Reference, 4})
    ->Args({Reference, 5})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ArrangeSeparateTriangles)
    ->ArgNames({"reference", "triangles"})
    ->Args({Fast, 2000})
    ->Args({Reference, 2000})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ObjToEps100kTriangles)->ArgNames({"reference"})->Arg(Fast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrangeParts100kTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteEps100kTriangles)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
