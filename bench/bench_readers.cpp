// Reading large DXF and ROK files: corner sharing by exact coordinates and
// the orientation pass over connected faces.
#include "model/mesh.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>

namespace {

double height(int i, int j) { return std::sin(i * 0.1) * std::cos(j * 0.1); }

// A height-field grid of columns x rows quads, each split into two 3DFACE
// triangles (stored with the fourth corner repeating the third).
std::string gridDxf(int columns, int rows)
{
    std::ostringstream out;
    out.precision(17);
    out << "  0\nSECTION\n  2\nENTITIES\n";
    auto corner = [&](int k, int i, int j) {
        out << " 1" << k << '\n' << i << "\n 2" << k << '\n' << height(i, j) << "\n 3" << k << '\n' << j << '\n';
    };
    auto triangle = [&](std::pair<int, int> a, std::pair<int, int> b, std::pair<int, int> c) {
        out << "  0\n3DFACE\n  8\n0\n";
        corner(0, a.first, a.second);
        corner(1, b.first, b.second);
        corner(2, c.first, c.second);
        corner(3, c.first, c.second);
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            triangle({i, j}, {i, j + 1}, {i + 1, j});
            triangle({i + 1, j}, {i, j + 1}, {i + 1, j + 1});
        }
    }
    out << "  0\nENDSEC\n  0\nEOF\n";
    return out.str();
}

// The same kind of grid as ROK: each triangle's chain lists its lines in a
// random direction and from a random first line, so the orientation pass
// has about half the faces to turn.
std::string gridRok(int columns, int rows)
{
    std::ostringstream out;
    out << "POINT\n";
    const int stride = columns + 1;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i) out << "LINE0 0 0 0 0 " << i << ' ' << height(i, j) << ' ' << j << '\n';
    out << "LINE1\n";
    std::map<std::pair<int, int>, int> lineOf;
    std::ostringstream lines;
    auto line = [&](int a, int b) {
        auto key = std::minmax(a, b);
        auto [it, added] = lineOf.try_emplace(key, static_cast<int>(lineOf.size()) + 1);
        if (added) lines << a << ' ' << b << " 0 0\n";
        return it->second;
    };
    std::mt19937 rng(7);
    std::ostringstream faces;
    auto triangle = [&](int a, int b, int c) {
        int chain[3] = {line(a, b), line(b, c), line(c, a)};
        if (rng() & 1) std::swap(chain[0], chain[2]);
        const int first = static_cast<int>(rng() % 3);
        faces << "3 0 0 " << chain[first] << ' ' << chain[(first + 1) % 3] << ' ' << chain[(first + 2) % 3] << '\n';
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int a = j * stride + i + 1, b = a + 1, c = a + stride, d = c + 1;
            triangle(a, c, b);
            triangle(b, c, d);
        }
    }
    out << lines.str() << "FACE0\n" << faces.str() << "END00\nPALC0 1\n0 200 200 200 200 200 200\n";
    return out.str();
}

std::string writeOnce(const std::string& name, const std::string& text)
{
    const std::string p = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(p, std::ios::binary) << text;
    return p;
}

void BM_ReadDxf100kFaces(benchmark::State& state)
{
    static const std::string path = writeOnce("nettor_bench_100k.dxf", gridDxf(250, 200));
    for (auto _ : state) {
        nettor::Model model;
        if (!model.readDxf(path)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(model.faceCount);
        state.counters["faces"] = model.faceCount;
    }
}
BENCHMARK(BM_ReadDxf100kFaces)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadRok10kFaces(benchmark::State& state)
{
    static const std::string path = writeOnce("nettor_bench_10k.rok", gridRok(100, 50));
    for (auto _ : state) {
        nettor::Model model;
        if (!model.readRok(path)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(model.faceCount);
        state.counters["faces"] = model.faceCount;
        std::size_t boundary = 0;
        for (const nettor::Edge* e : model.objects[0]->edges) boundary += e->halfEdge2 == nullptr;
        state.counters["boundary_edges"] = static_cast<double>(boundary);
    }
}
BENCHMARK(BM_ReadRok10kFaces)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
