// Completion: arrangement on the sheet, cut-edge numbers, opened corners and
// the page-fitting scale.
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/arrange_parts.h"
#include "unfold/finish_unfolding.h"
#include "unfold/number_cut_edges.h"
#include "unfold/separate_corners.h"
#include "unfold/start_part.h"
#include "unfold/unfold_all.h"

#include <algorithm>
#include <cmath>
#include <set>

using namespace nettor;
using namespace nettor::test;

namespace {

class CompletionTest : public UnfoldTest {};

MeshSpec squareSpec(double size, double z = 0)
{
    MeshSpec s;
    s.vertices = {{0, 0, z}, {size, 0, z}, {size, size, z}, {0, size, z}};
    s.faces = {{0, 1, 2, 3}};
    return s;
}

} // namespace

TEST_F(CompletionTest, SinglePartLandsAtTheOriginAndFitsThePage)
{
    Model& m = take(boxSpec({0, 0, 0}, {3, 1, 2}));
    session.status.busy = true;
    unfoldAll(session, m);
    ASSERT_EQ(m.parts.size(), 1u);
    const UnfoldedPart& p = *m.parts[0];
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (auto& pt : m.pointPool) {
        minX = std::min(minX, pt->x);
        minY = std::min(minY, pt->y);
        maxX = std::max(maxX, pt->x);
        maxY = std::max(maxY, pt->y);
    }
    EXPECT_EQ(p.minX, minX);
    EXPECT_EQ(p.maxY, maxY);
    EXPECT_EQ(p.offsetX, -minX);
    EXPECT_EQ(p.offsetY, -minY);
    EXPECT_DOUBLE_EQ(m.sheetWidth, (maxX - minX) * 1.15);
    EXPECT_DOUBLE_EQ(m.sheetHeight, (maxY - minY) * 1.15);
    EXPECT_DOUBLE_EQ(m.patternScale, 0.9 * std::min(26.7 / m.sheetHeight, 18 / m.sheetWidth));
    EXPECT_DOUBLE_EQ(session.displayedScale, m.patternScale * m.unitScale);
    EXPECT_FALSE(session.status.busy);
}

TEST_F(CompletionTest, SecondEqualSquareGoesAboveTheFirst)
{
    // Above gives a 1 x 2 sheet, which suits the portrait page better than
    // 2 x 1 beside it.
    Model& m = take(buildModel({squareSpec(1), squareSpec(1, 1)}));
    session.status.busy = true;
    unfoldAll(session, m);
    ASSERT_EQ(m.parts.size(), 2u);
    const UnfoldedPart& a = *m.parts[0];
    const UnfoldedPart& b = *m.parts[1];
    EXPECT_DOUBLE_EQ(a.width, b.width);
    EXPECT_EQ(a.minX + a.offsetX, 0.0);
    EXPECT_EQ(a.minY + a.offsetY, 0.0);
    EXPECT_DOUBLE_EQ(b.minX + b.offsetX, 0.0);
    EXPECT_DOUBLE_EQ(b.minY + b.offsetY, a.height);
    EXPECT_DOUBLE_EQ(m.sheetWidth, a.width);
    EXPECT_DOUBLE_EQ(m.sheetHeight, 2 * a.height);
}

TEST_F(CompletionTest, EqualScoresGoToTheSmallerY)
{
    // After two squares stacked on each other, the third fits beside the
    // lower one and beside the upper one in the same 2 x 2 sheet: the lower
    // position wins. A fourth square then fills the corner left.
    Model& m = take(buildModel({squareSpec(1), squareSpec(1, 1), squareSpec(1, 2), squareSpec(1, 3)}));
    session.status.busy = true;
    unfoldAll(session, m);
    ASSERT_EQ(m.parts.size(), 4u);
    const double w = m.parts[0]->width;
    auto at = [&](std::size_t i) {
        const UnfoldedPart& p = *m.parts[i];
        return std::pair<double, double>{p.minX + p.offsetX, p.minY + p.offsetY};
    };
    EXPECT_EQ(at(0), (std::pair<double, double>{0.0, 0.0}));
    EXPECT_NEAR(at(1).first, 0.0, 1e-12);
    EXPECT_NEAR(at(1).second, w, 1e-12);
    EXPECT_NEAR(at(2).first, w, 1e-12);
    EXPECT_NEAR(at(2).second, 0.0, 1e-12);
    EXPECT_NEAR(at(3).first, w, 1e-12);
    EXPECT_NEAR(at(3).second, w, 1e-12);
    EXPECT_NEAR(m.sheetWidth, 2 * w, 1e-12);
    EXPECT_NEAR(m.sheetHeight, 2 * w, 1e-12);
}

TEST_F(CompletionTest, LargestPartFirstAndEqualAreasKeepTheirOrder)
{
    // Creation order: small, big, small. The big one lands at the origin;
    // the first small one is placed before the second.
    Model& m = take(buildModel({squareSpec(1), squareSpec(2, 1), squareSpec(1, 2)}));
    session.status.busy = true;
    unfoldAll(session, m);
    ASSERT_EQ(m.parts.size(), 3u);
    const UnfoldedPart& big = *m.parts[1];
    EXPECT_EQ(big.minX + big.offsetX, 0.0);
    EXPECT_EQ(big.minY + big.offsetY, 0.0);
    // The big square is 2.3 x 2.3 (inflated, in its own units); the first
    // small one goes above it, the second beside that one, inside the sheet.
    const double s = big.width / 2.0;
    const UnfoldedPart& first = *m.parts[0];
    const UnfoldedPart& second = *m.parts[2];
    EXPECT_NEAR(first.minX + first.offsetX, 0.0, 1e-12);
    EXPECT_NEAR(first.minY + first.offsetY, big.height, 1e-12);
    EXPECT_NEAR(second.minX + second.offsetX, s, 1e-12);
    EXPECT_NEAR(second.minY + second.offsetY, big.height, 1e-12);
    EXPECT_NEAR(m.sheetWidth, big.width, 1e-12);
    EXPECT_NEAR(m.sheetHeight, big.height + first.height, 1e-12);
}

TEST_F(CompletionTest, ArrangementKeepsPartsApartWithTheOverlapCheckOff)
{
    // Parts crossing like a plus sign have no corner inside each other.
    session.overlapCheck = 0;
    MeshSpec wide, tall;
    wide.vertices = {{0, 0, 0}, {4, 0, 0}, {4, 1, 0}, {0, 1, 0}};
    wide.faces = {{0, 1, 2, 3}};
    Model& m = take(buildModel({wide, wide, wide, wide, wide}));
    session.status.busy = true;
    unfoldAll(session, m);
    ASSERT_EQ(m.parts.size(), 5u);
    for (std::size_t i = 0; i < m.parts.size(); ++i)
        for (std::size_t j = i + 1; j < m.parts.size(); ++j) {
            const UnfoldedPart& a = *m.parts[i];
            const UnfoldedPart& b = *m.parts[j];
            const bool apart = a.maxX + a.offsetX <= b.minX + b.offsetX ||
                               b.maxX + b.offsetX <= a.minX + a.offsetX ||
                               a.maxY + a.offsetY <= b.minY + b.offsetY ||
                               b.maxY + b.offsetY <= a.minY + a.offsetY;
            EXPECT_TRUE(apart) << i << " and " << j;
        }
}

TEST_F(CompletionTest, CutEdgesAreNumberedFromOneInModelOrder)
{
    Model& m = take(buildModel({boxSpec(), squareSpec(1, 3)}));
    session.status.busy = true;
    unfoldAll(session, m);
    std::vector<int> ids;
    int expected = 1;
    std::set<const Edge*> seen;
    for (auto& o : m.objects)
        for (Face* f : o->faces)
            for (HalfEdge* h : f->outerLoop.halfEdges) {
                Edge* e = h->edge;
                const bool cut = e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut;
                if (!cut) {
                    EXPECT_EQ(e->edgeId, -1);
                } else if (seen.insert(e).second) {
                    EXPECT_EQ(e->edgeId, expected++);
                }
            }
    EXPECT_EQ(expected - 1, 7);
    // Numbering again changes nothing.
    numberCutEdges(m);
    for (auto& o : m.objects)
        for (Edge* e : o->edges) EXPECT_LE(e->edgeId, 7);
}

TEST_F(CompletionTest, CornersMoveIntoTheirFacesAndCancellingOnesStay)
{
    Model& m = take(boxSpec());
    session.status.busy = true;
    unfoldAll(session, m);
    // Every copy moved by a tenth of the average edge length towards the
    // inside of the cube.
    for (auto& object : m.objects)
        for (Face* f : object->faces)
            for (HalfEdge* h : f->outerLoop.halfEdges) {
                const Vec3 c{h->cornerCopy->x, h->cornerCopy->y, h->cornerCopy->z};
                EXPECT_NEAR(length(c - h->origin->position), 0.1 * m.averageEdgeLength, 1e-12);
                EXPECT_LT(length(c), length(h->origin->position));
            }

    // A corner whose two sides point in opposite directions.
    resetSession(session);
    MeshSpec flat;
    flat.vertices = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}};
    flat.faces = {{0, 1, 2, 3}};
    Model& n = take(flat);
    startPart(session, *n.objects[0]->faces[0]);
    const CornerCopy* straight = n.objects[0]->faces[0]->outerLoop.halfEdges[1]->cornerCopy;
    EXPECT_TRUE(std::isfinite(straight->x) && std::isfinite(straight->y));
    EXPECT_EQ(straight->x, n.objects[0]->vertices[1]->position.x);
    EXPECT_EQ(straight->y, n.objects[0]->vertices[1]->position.y);
}

TEST_F(CompletionTest, CompletionRunsOnceAndIsSilentWhenQuiet)
{
    Model& m = take(boxSpec());
    session.status.quiet = true;
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_TRUE(listener.messages.empty());
    EXPECT_TRUE(listener.hints.empty());
    EXPECT_EQ(listener.patternViewRepaints, 1);
    const double scale = m.patternScale;
    m.patternScale = 1.0;
    finishUnfolding(session, m);
    EXPECT_EQ(m.patternScale, 1.0);
    EXPECT_EQ(listener.patternViewRepaints, 1);
    EXPECT_GT(scale, 0.0);
}

TEST_F(CompletionTest, FaceWithoutExtentCompletesWithFiniteValues)
{
    MeshSpec s;
    s.vertices = {{2, 2, 2}, {2, 2, 2}, {2, 2, 2}};
    s.faces = {{0, 1, 2}};
    Model& m = take(s);
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_TRUE(session.status.finished);
    EXPECT_EQ(m.sheetWidth, 0.0);
    EXPECT_EQ(m.patternScale, 40.0); // nothing to fit: the scale stays
    EXPECT_TRUE(std::isfinite(session.displayedScale));
    for (auto& p : m.pointPool) EXPECT_TRUE(std::isfinite(p->x) && std::isfinite(p->y));
    for (auto& c : m.cornerPool) EXPECT_TRUE(std::isfinite(c->x + c->y + c->z));
}
