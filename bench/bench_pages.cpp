// The Pages layout: pages used against the lower bound (the faces' area
// over the printable area, rounded up) on the meshes of bench_fewer_parts
// and the samples at 150 mm and 300 mm on A4 with 10 mm margins, and the
// whole run from a 100,000-triangle OBJ to a PDF at 2 m on A4.
#include "bench_models.h"
#include "formats/load_model.h"
#include "formats/pages_outputs.h"
#include "model/mesh.h"
#include "pattern/pages_layout.h"
#include "session/session.h"
#include "support/shape_generators.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_with_fewer_parts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>

namespace {

using nettor::Model;

struct BenchModel {
    std::string name;
    std::function<std::unique_ptr<Model>()> make;
};

std::unique_ptr<Model> fromFile(const std::string& path)
{
    nettor::LoadedModel loaded = nettor::loadModelFile(path, nullptr);
    if (loaded.result != nettor::LoadResult::Loaded) return nullptr;
    return std::move(loaded.model);
}

std::vector<BenchModel> benchModels()
{
    using namespace nettor::test;
    std::vector<BenchModel> out = {
        {"sphere5120", [] { return buildModel(subdividedSphereSpec(4)); }},
        {"sphere20480", [] { return buildModel(subdividedSphereSpec(5)); }},
        {"torus48x24", [] { return buildModel(torusSpec(48, 24)); }},
        {"closedHeightField20",
         [] {
             std::mt19937 rng(20);
             return buildModel(closedHeightFieldSpec(rng, 20));
         }},
    };
    std::vector<std::string> files{"/usr/share/assimp/models/OBJ/WusonOBJ.obj",
                                   "/usr/share/assimp/models/OBJ/empty_mat.obj"};
    for (const char* sample : {"cube.obj", "dodecahedron.obj", "gem.mqo", "house.obj", "pyramid.dxf"})
        files.push_back(std::string(NETTOR_SAMPLES_DIR) + "/" + sample);
    for (const std::string& path : files) {
        if (!std::filesystem::exists(path)) {
            std::cerr << path << " is missing: left out\n";
            continue;
        }
        out.push_back({std::filesystem::path(path).stem().string(), [path] { return fromFile(path); }});
    }
    return out;
}

Model& unfold(nettor::Session& app, std::unique_ptr<Model> model)
{
    app.listener = nullptr;
    app.overlapCheck = 1;
    app.partSearch = {};
    app.replaceModel(std::move(model));
    nettor::takeUpModel(app, *app.model);
    app.status.busy = true;
    app.status.quiet = true;
    nettor::unfoldAutomatically(app, *app.model);
    return *app.model;
}

double faceAreaMm2(const Model& model, double mmPerUnit)
{
    double area = 0.0;
    for (const auto& part : model.parts)
        for (const nettor::Face* f : part->faces) {
            double a = 0.0;
            const auto& loop = f->outerLoop.halfEdges;
            for (std::size_t i = 0; i < loop.size(); ++i) {
                const auto* p = loop[i]->point;
                const auto* q = loop[(i + 1) % loop.size()]->point;
                a += p->x * q->y - q->x * p->y;
            }
            area += std::abs(a) / 2.0 * mmPerUnit * mmPerUnit;
        }
    return area;
}

int totalPages = 0, totalBound = 0;

void pagesAgainstBound(benchmark::State& state, const BenchModel& bench, double sizeMm)
{
    nettor::Session app;
    Model& model = unfold(app, bench.make());
    nettor::PagesSettings pages;
    pages.finishedSizeMm = sizeMm;
    int used = 0, bound = 0, split = 0;
    for (auto _ : state) {
        const nettor::PagesResult result = nettor::layOutPages({model, app.settings, pages});
        if (!result.layout) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        used = result.layout->pageCount;
        split = result.layout->partsSplit;
        // The pages to look at, when asked for.
        if (const char* dir = std::getenv("NETTOR_BENCH_PAGES_DIR")) {
            std::string message;
            const std::string path = std::string(dir) + "/" + bench.name + "-" + std::to_string(static_cast<int>(sizeMm)) + "mm.pdf";
            if (!nettor::replaceFiles({{path, nettor::pagesPdf(*result.layout, app.settings)}}, message))
                std::cerr << message << "\n";
        }
        const double printable = (210.0 - 20.0) * (297.0 - 20.0);
        bound = static_cast<int>(std::ceil(faceAreaMm2(model, result.layout->mmPerUnit) / printable - 1e-9));
    }
    totalPages += used;
    totalBound += bound;
    state.counters["faces"] = model.faceCount;
    state.counters["parts"] = static_cast<double>(model.parts.size());
    state.counters["split"] = split;
    state.counters["pages"] = used;
    state.counters["bound"] = bound;
    state.counters["ratio"] = bound > 0 ? static_cast<double>(used) / bound : 0.0;
    app.replaceModel(nullptr);
}

// Read, take up, unfold, lay out at 2 m on A4 and write the PDF.
void BM_Pages100kTrianglesTo2mPdf(benchmark::State& state)
{
    const std::string& objPath = nettor::bench::heightField100kObj();
    const std::string pdfPath = (std::filesystem::temp_directory_path() / "nettor_bench_pages_100k.pdf").string();
    nettor::PagesSettings pages;
    pages.finishedSizeMm = 2000;
    nettor::Session app;
    int pageCount = 0;
    double readAndUnfoldSeconds = 0.0, layoutSeconds = 0.0, pdfSeconds = 0.0;
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    for (auto _ : state) {
        const auto begin = Clock::now();
        auto model = std::make_unique<Model>();
        if (!model->readObj(objPath)) {
            state.SkipWithError("read failed");
            break;
        }
        Model& m = unfold(app, std::move(model));
        readAndUnfoldSeconds = since(begin);
        const auto start = Clock::now();
        const nettor::PagesResult result = nettor::layOutPages({m, app.settings, pages});
        layoutSeconds = since(start);
        if (!result.layout) {
            state.SkipWithError(result.message.c_str());
            break;
        }
        const auto written = Clock::now();
        std::string message;
        if (!nettor::replaceFiles({{pdfPath, nettor::pagesPdf(*result.layout, app.settings)}}, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        pdfSeconds = since(written);
        pageCount = result.layout->pageCount;
    }
    state.counters["pages"] = pageCount;
    state.counters["readUnfoldSeconds"] = readAndUnfoldSeconds;
    state.counters["layoutSeconds"] = layoutSeconds;
    state.counters["pdfSeconds"] = pdfSeconds;
    app.replaceModel(nullptr);
}

} // namespace

BENCHMARK(BM_Pages100kTrianglesTo2mPdf)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    static const std::vector<BenchModel> models = benchModels();
    for (const BenchModel& m : models)
        for (const double size : {150.0, 300.0})
            benchmark::RegisterBenchmark(("BM_PagesOnA4/" + m.name + "/" + std::to_string(static_cast<int>(size)) + "mm").c_str(),
                                         [&m, size](benchmark::State& s) { pagesAgainstBound(s, m, size); })
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::cerr << "pages on A4 in total: " << totalPages << " against a lower bound of " << totalBound << " ("
              << (totalBound > 0 ? static_cast<double>(totalPages) / totalBound : 0.0) << " x)\n";
    return 0;
}
