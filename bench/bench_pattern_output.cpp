// Writing the pattern of a large unfolding: drawPattern onto an SVG canvas,
// and the EPS writer, with flaps and edge numbers in both fonts.
#include "counting_buffer.h"
#include "model/mesh.h"
#include "pattern/draw_pattern.h"
#include "formats/eps_writer.h"
#include "formats/svg_canvas.h"
#include "state/settings.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <vector>

namespace {

using namespace nettor;

// A flat n x n grid of unit squares laid out at their own positions; every
// row is a part of its own, so every edge between rows is a numbered cut.
std::unique_ptr<Model> gridPattern(int n)
{
    auto model = std::make_unique<Model>();
    MeshObject* object = model->addObject();
    std::vector<Vertex*> vs;
    int id = 1;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) vs.push_back(object->addVertex(i, j, 0, id++));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            Face* f = object->addFace();
            const int a = j * (n + 1) + i;
            for (int k : {a, a + 1, a + n + 2, a + n + 1}) f->addCorner(vs[static_cast<std::size_t>(k)]);
            f->finishFace();
        }
    model->buildAllEdges();
    for (int j = 0; j < n; ++j) {
        model->parts.push_back(std::make_unique<UnfoldedPart>());
        model->parts.back()->id = j;
    }
    for (Face* f : object->faces) {
        UnfoldedPart& part = *model->parts[static_cast<std::size_t>(f->index / n)];
        part.faces.push_back(f);
        f->part = &part;
        f->unfolded = 1;
        for (HalfEdge* h : f->outerLoop.halfEdges) {
            h->point = model->pointPool.add(PatternPoint{h->origin->position.x, h->origin->position.y});
        }
    }
    int number = 1;
    for (Edge* e : object->edges) {
        e->isRidge = 1;
        if (!e->halfEdge2) {
            e->state = EdgeState::Border;
            continue;
        }
        e->foldAngle = 180;
        const bool sameRow = e->halfEdge1->loop->face->part == e->halfEdge2->loop->face->part;
        e->state = sameRow ? EdgeState::Fold : EdgeState::Cut;
        if (!sameRow) e->edgeId = number++;
    }
    model->sheetWidth = model->sheetHeight = n;
    model->averageEdgeLength = 1;
    model->patternScale = 18.0 / n;
    return model;
}

Settings outputSettings(bool strokeFont)
{
    Settings s;
    s.showEdgeIds = 1;
    s.useOriginalFont = strokeFont ? 1 : 0;
    s.flapsBothSides = 1;
    s.omitFlatEdges = 0;
    return s;
}

void BM_DrawPatternSvg(benchmark::State& state)
{
    auto model = gridPattern(static_cast<int>(state.range(0)));
    const Settings settings = outputSettings(state.range(1) != 0);
    for (auto _ : state) {
        SvgCanvas svg(21, 21, 100);
        drawPattern(*model, settings, svg, 100, 100, OutputTarget::MetafileFile, 0, 0);
        benchmark::DoNotOptimize(svg.document().size());
    }
    state.counters["faces"] = static_cast<double>(model->faceCount);
}

void BM_WriteEps(benchmark::State& state)
{
    auto model = gridPattern(static_cast<int>(state.range(0)));
    const Settings settings = outputSettings(state.range(1) != 0);
    for (auto _ : state) {
        std::ostringstream out;
        writeEps(*model, settings, out);
        benchmark::DoNotOptimize(out.str().size());
    }
    state.counters["faces"] = static_cast<double>(model->faceCount);
}

// The writer alone, into a stream that only counts its text.
void BM_WriteEpsToStream(benchmark::State& state)
{
    auto model = gridPattern(static_cast<int>(state.range(0)));
    const Settings settings = outputSettings(state.range(1) != 0);
    for (auto _ : state) {
        nettor::bench::CountingBuffer buffer;
        std::ostream out(&buffer);
        writeEps(*model, settings, out);
        benchmark::DoNotOptimize(buffer.count);
    }
    state.counters["faces"] = static_cast<double>(model->faceCount);
}

} // namespace

// 10,000 and 40,000 faces; text numbers and stroke digits.
BENCHMARK(BM_DrawPatternSvg)->ArgsProduct({{100, 200}, {0, 1}})->ArgNames({"n", "stroke"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteEps)->ArgsProduct({{100, 200}, {0, 1}})->ArgNames({"n", "stroke"})->Unit(benchmark::kMillisecond);

BENCHMARK(BM_WriteEpsToStream)->ArgsProduct({{100, 200}, {0, 1}})->ArgNames({"n", "stroke"})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
