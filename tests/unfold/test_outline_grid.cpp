// The grid over a part's outline, and the outline test that uses it: with
// the grid a prospective segment must meet exactly the outline segments the
// plain scan would find crossing.
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "support/reference_engine/outline_overlap.h"
#include "unfold/overlap.h"
#include "unfold/unfold_all.h"

#include <cmath>
#include <limits>
#include <random>

using namespace nettor;
using namespace nettor::test;

namespace {

OutlineGrid::Box boxOf(double x0, double y0, double x1, double y1)
{
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

bool overlap(const OutlineGrid::Box& a, const OutlineGrid::Box& b)
{
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// The same outline without its grid: crossesPartOutline then scans it all.
PartOutline withoutGrid(const PartOutline& outline)
{
    PartOutline plain = outline;
    plain.grid = OutlineGrid{};
    return plain;
}

class OutlineGridTest : public UnfoldTest {};

} // namespace

TEST(OutlineGrid, VisitsEveryOverlappingBoxOnce)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> at(-3.0, 5.0), size(0.0, 0.4);
    std::vector<OutlineGrid::Box> boxes;
    for (int i = 0; i < 400; ++i) {
        const double x = at(rng), y = at(rng);
        boxes.push_back(boxOf(x, y, x + size(rng), y + size(rng)));
    }
    boxes.push_back(boxOf(-3, -3, 5, 5));       // spans the whole grid
    boxes.push_back(boxOf(1, 1, 1, 1));         // a point
    boxes.push_back(boxOf(-3, 2, 5, 2));        // a horizontal line
    OutlineGrid grid;
    grid.build(boxes);
    ASSERT_TRUE(grid.usable());

    std::vector<OutlineGrid::Box> queries = {boxOf(1, 1, 1, 1), boxOf(-10, -10, -9, -9),
                                             boxOf(-10, -10, 10, 10), boxOf(4.9, 4.9, 20, 20)};
    for (int i = 0; i < 300; ++i) {
        const double x = at(rng), y = at(rng);
        queries.push_back(boxOf(x, y, x + 2 * size(rng), y + 2 * size(rng)));
    }
    // Queries that end exactly where boxes begin: edges count as overlap.
    for (int i = 0; i < 50; ++i) {
        const OutlineGrid::Box& b = boxes[static_cast<std::size_t>(i)];
        queries.push_back(boxOf(b.maxX, b.maxY, b.maxX + 0.3, b.maxY + 0.3));
        queries.push_back(boxOf(b.minX - 0.3, b.minY - 0.3, b.minX, b.minY));
    }
    for (const OutlineGrid::Box& q : queries) {
        std::vector<int> visits(boxes.size(), 0);
        EXPECT_FALSE(grid.anyNear(q, [&](std::size_t i) {
            ++visits[i];
            return false;
        }));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_LE(visits[i], 1) << "box " << i;
            if (overlap(boxes[i], q)) {
                EXPECT_EQ(visits[i], 1) << "box " << i;
            }
        }
    }
    // A visit that answers true ends the search.
    int calls = 0;
    EXPECT_TRUE(grid.anyNear(boxOf(-10, -10, 10, 10), [&](std::size_t) { return ++calls == 3; }));
    EXPECT_EQ(calls, 3);
}

TEST(OutlineGrid, UnusableForFewOrNonFiniteBoxes)
{
    std::vector<OutlineGrid::Box> boxes;
    for (int i = 0; i < 10; ++i) boxes.push_back(boxOf(i, 0, i + 1, 1));
    OutlineGrid grid;
    grid.build(boxes);
    EXPECT_FALSE(grid.usable());
    for (int i = 10; i < 100; ++i) boxes.push_back(boxOf(i, 0, i + 1, 1));
    grid.build(boxes);
    EXPECT_TRUE(grid.usable());
    boxes.push_back(boxOf(0, 0, std::numeric_limits<double>::infinity(), 1));
    grid.build(boxes);
    EXPECT_FALSE(grid.usable());
    boxes.back() = boxOf(0, 0, std::nan(""), 1);
    boxes.back().maxX = std::nan("");
    grid.build(boxes);
    EXPECT_FALSE(grid.usable());
    // All boxes in one point, and boxes far apart with huge gaps.
    std::vector<OutlineGrid::Box> same(50, boxOf(2, 2, 2, 2));
    grid.build(same);
    ASSERT_TRUE(grid.usable());
    int visits = 0;
    grid.anyNear(boxOf(2, 2, 2, 2), [&](std::size_t) { return ++visits, false; });
    EXPECT_EQ(visits, 50);
    std::vector<OutlineGrid::Box> spread;
    for (int i = 0; i < 40; ++i) spread.push_back(boxOf(i * 1e300 / 40, 0, i * 1e300 / 40, 1e-300));
    grid.build(spread);
    visits = 0;
    if (grid.usable()) grid.anyNear(boxOf(0, 0, 0, 0), [&](std::size_t) { return ++visits, false; });
    EXPECT_TRUE(!grid.usable() || visits == 1);
}

// Segments on one line that lie apart: rounding alone makes the plain
// crossing formula find a crossing inside both; the outline test must not.
TEST(CrossesPartOutline, CollinearSegmentsApartNeverCross)
{
    Session session;
    const PatternPoint p{-0.32010690712949813, 1.5615699403634296};
    const PatternPoint q{-0.6821708796579243, 2.703438831709298};
    const PatternPoint s{-0.6850506737204449, 2.712521058892829};
    const PatternPoint t{-0.7411143090537355, 2.8893332412146076};
    ASSERT_TRUE(segmentsIntersect(p, q, s, t, 0.001)); // the rounding artefact
    PartOutline outline;
    outline.segments.push_back({nullptr, s, t});
    Face other;
    EXPECT_FALSE(crossesPartOutline(session, outline, &other, p, q));
    // A real crossing of the same segment is still found.
    EXPECT_TRUE(crossesPartOutline(session, outline, &other, {-0.8, 2.7}, {-0.6, 2.9}));
    // The same through the grid of a larger outline.
    for (int i = 0; i < 40; ++i) {
        const PatternPoint a{3.0 + i * 0.1, -1.0}, b{3.05 + i * 0.1, -0.9};
        outline.segments.push_back({nullptr, a, b});
    }
    for (const auto& seg : outline.segments)
        outline.boxes.push_back(boxOf(seg.from.x, seg.from.y, seg.to.x, seg.to.y));
    outline.grid.build(outline.boxes);
    ASSERT_TRUE(outline.grid.usable());
    EXPECT_FALSE(crossesPartOutline(session, outline, &other, p, q));
    EXPECT_TRUE(crossesPartOutline(session, outline, &other, {-0.8, 2.7}, {-0.6, 2.9}));
    EXPECT_TRUE(crossesPartOutline(session, outline, &other, {3.3, -0.95}, {3.6, -0.95}));
}

TEST_F(OutlineGridTest, GridAndPlainScanAgreeOnRealOutlines)
{
    std::mt19937 rng(11);
    for (int strategy : {0, 1}) {
        resetSession(session);
        session.settings.unfoldStrategy = strategy;
        Model& m = take(buildModel({subdividedSphereSpec(3), translated(torusSpec(24, 10), {4, 0, 0}),
                                    translated(bumpyHeightFieldSpec(rng, 12), {0, 5, 0})}));
        session.status.busy = true;
        unfoldAll(session, m);
        std::size_t checked = 0, crossings = 0;
        for (auto& part : m.parts) {
            const PartOutline outline = collectOutline(*part);
            if (!outline.grid.usable()) continue;
            const PartOutline plain = withoutGrid(outline);
            // Every side and diagonal of every face, shifted by small steps
            // so that many of them cross, touch or run along the outline.
            std::uniform_real_distribution<double> shift(-0.05, 0.05);
            for (const Face* f : part->faces) {
                const auto& hs = f->outerLoop.halfEdges;
                for (std::size_t i = 0; i < hs.size(); ++i)
                    for (std::size_t j = i + 1; j < hs.size(); ++j) {
                        for (int k = 0; k < 3; ++k) {
                            const double dx = k ? shift(rng) : 0.0, dy = k ? shift(rng) : 0.0;
                            const PatternPoint a{hs[i]->point->x + dx, hs[i]->point->y + dy};
                            const PatternPoint b{hs[j]->point->x + dx, hs[j]->point->y};
                            const Face* except = k == 2 ? nullptr : f;
                            const bool viaGrid = crossesPartOutline(session, outline, except, a, b);
                            EXPECT_EQ(viaGrid, crossesPartOutline(session, plain, except, a, b))
                                << "face " << f->index << " corners " << i << ", " << j;
                            ++checked;
                            crossings += viaGrid;
                        }
                    }
            }
        }
        EXPECT_GT(checked, 10000u);
        EXPECT_GT(crossings, checked / 20); // the comparison saw both answers
        EXPECT_LT(crossings, checked);
    }
}
