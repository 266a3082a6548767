// Picking the face and the edge under a click on big models: subdivided
// spheres of 20,480, 81,920 and 327,680 faces seen by the 3D view's camera
// in an 800 x 600 view, clicks spread over the view. The time of a pick is
// what the user waits for between the click and its effect: every face
// projected (BM_PickFace, as picks were made before the index) against the
// faces along the line of sight found in the index (BM_PickFaceIndexed),
// which the view builds once for a model (BM_BuildPickIndex).
#include "bench_models.h"
#include "scene/camera.h"
#include "scene/pick.h"
#include "scene/pick_index.h"
#include "state/engine_state.h"
#include "unfold/take_up_model.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

struct Scene {
    std::unique_ptr<nettor::Model> model;
    nettor::ViewSnapshot view;
};

Scene& scene(int levels)
{
    static std::map<int, Scene> scenes;
    Scene& s = scenes[levels];
    if (!s.model) {
        s.model = nettor::bench::sphereModel(levels);
        nettor::EngineState engine;
        nettor::takeUpModel(engine, *s.model);
        nettor::SceneCamera camera;
        camera.setViewSize(800, 600);
        camera.reset();
        // Turned a little, as the user looks at it.
        camera.pressRight(400, 300, 0);
        camera.moveTo(430, 320, nettor::Gesture::Rotate);
        s.view.projection = camera.projectionMatrix();
        s.view.viewport = {0, 0, 800, 600};
    }
    return s;
}

// Clicks on a grid over the middle of the view, where the sphere is.
std::pair<int, int> click(std::int64_t i)
{
    return {250 + static_cast<int>((i * 37) % 300), 150 + static_cast<int>((i * 53) % 300)};
}

void BM_PickFace(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    std::int64_t i = 0, found = 0;
    for (auto _ : state) {
        const auto [x, y] = click(i++);
        const nettor::Face* face = nettor::pickFace(*s.model, s.view, x, y);
        found += face != nullptr;
        benchmark::DoNotOptimize(face);
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(i);
}

void BM_PickFaceIndexed(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    const nettor::FacePickIndex index(*s.model);
    std::int64_t i = 0, found = 0, same = 0;
    for (auto _ : state) {
        const auto [x, y] = click(i++);
        const nettor::Face* face = index.pickFace(s.view, x, y);
        found += face != nullptr;
        benchmark::DoNotOptimize(face);
    }
    for (std::int64_t j = 0; j < 20; ++j) {
        const auto [x, y] = click(j);
        same += index.pickFace(s.view, x, y) == nettor::pickFace(*s.model, s.view, x, y);
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(i);
    state.counters["same"] = static_cast<double>(same) / 20.0;
}

void BM_PickEdgeIndexed(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    const nettor::FacePickIndex index(*s.model);
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto [x, y] = click(i++);
        benchmark::DoNotOptimize(index.pickEdge(s.view, x, y));
    }
}

void BM_BuildPickIndex(benchmark::State& state)
{
    Scene& s = scene(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(nettor::FacePickIndex(*s.model));
}

} // namespace

BENCHMARK(BM_PickFace)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickFaceIndexed)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickEdgeIndexed)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPickIndex)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
