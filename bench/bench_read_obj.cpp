// Reading and pairing a large OBJ: a height-field grid of 1,000,000 triangles.
#include "model/mesh.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A grid of columns x rows quads, each split into two triangles.
std::string gridObj(int columns, int rows)
{
    std::ostringstream out;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i)
            out << "v " << i << ' ' << std::sin(i * 0.1) * std::cos(j * 0.1) << ' ' << j << '\n';
    const int stride = columns + 1;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int a = j * stride + i + 1, b = a + 1, c = a + stride, d = c + 1;
            out << "f " << a << ' ' << c << ' ' << b << '\n';
            out << "f " << b << ' ' << c << ' ' << d << '\n';
        }
    }
    return out.str();
}

const std::string& millionTriangleFile()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "nettor_bench_1m.obj").string();
        std::ofstream(p, std::ios::binary) << gridObj(1000, 500);
        return p;
    }();
    return path;
}

void BM_ReadObjMillionTriangles(benchmark::State& state)
{
    const std::string& path = millionTriangleFile();
    for (auto _ : state) {
        nettor::Model model;
        if (!model.readObj(path)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(model.faceCount);
        state.counters["faces"] = model.faceCount;
    }
}
BENCHMARK(BM_ReadObjMillionTriangles)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadObjTextSmallGrid(benchmark::State& state)
{
    const std::string text = gridObj(100, 50);
    for (auto _ : state) {
        nettor::Model model;
        benchmark::DoNotOptimize(model.readObjText(text));
    }
}
BENCHMARK(BM_ReadObjTextSmallGrid)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
