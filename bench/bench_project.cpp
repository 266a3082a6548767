// Saving and opening the project of a finished 100,000-triangle unfolding.
#include "formats/project_file.h"
#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_all.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using nettor::Model;

// A bumpy grid of 250 x 200 quads, two triangles each.
std::unique_ptr<Model> gridModel(int columns, int rows)
{
    auto model = std::make_unique<Model>();
    nettor::MeshObject* object = model->addObject();
    std::vector<nettor::Vertex*> vertices;
    int id = 1;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i)
            vertices.push_back(object->addVertex(i, std::sin(i * 0.1) * std::cos(j * 0.1), j, id++));
    const int stride = columns + 1;
    auto triangle = [&](int a, int b, int c) {
        nettor::Face* face = object->addFace();
        for (int k : {a, b, c}) face->addCorner(vertices[static_cast<std::size_t>(k)]);
        face->finishFace();
    };
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const int a = j * stride + i, b = a + 1, c = a + stride, d = c + 1;
            triangle(a, c, b);
            triangle(b, c, d);
        }
    model->buildAllEdges();
    return model;
}

struct FinishedProject {
    nettor::EngineState engine;
    std::unique_ptr<Model> model = gridModel(250, 200);
    nettor::ProjectState state;
    std::string path = (std::filesystem::temp_directory_path() / "nettor_bench_100k.nettor").string();
    FinishedProject()
    {
        nettor::takeUpModel(engine, *model);
        nettor::unfoldAll(engine, *model);
        state.finished = engine.status.finished;
        std::string error;
        nettor::writeProjectFile(path, {*model, state, nullptr}, error);
    }
};

FinishedProject& project()
{
    static FinishedProject p;
    return p;
}

void BM_SaveProject100k(benchmark::State& bench)
{
    FinishedProject& p = project();
    std::string error;
    for (auto _ : bench) {
        if (!nettor::writeProjectFile(p.path, {*p.model, p.state, nullptr}, error)) bench.SkipWithError(error.c_str());
    }
    bench.counters["bytes"] = static_cast<double>(std::filesystem::file_size(p.path));
}
BENCHMARK(BM_SaveProject100k)->Unit(benchmark::kMillisecond);

void BM_OpenProject100k(benchmark::State& bench)
{
    FinishedProject& p = project();
    for (auto _ : bench) {
        nettor::ProjectContent read = nettor::readProjectFile(p.path);
        if (!read.model) bench.SkipWithError(read.error.c_str());
        benchmark::DoNotOptimize(read.model.get());
    }
}
BENCHMARK(BM_OpenProject100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
