// Normalisation of a loaded model and the per-edge values of the unfolding.
#include "support/unfold_fixture.h"
#include "unfold/prepare_for_unfolding.h"

#include <cmath>

using namespace nettor;
using namespace nettor::test;

namespace {

class PrepareTest : public UnfoldTest {};

Vec3 boundsOf(const Model& m, bool max)
{
    Vec3 r = max ? Vec3{-1e300, -1e300, -1e300} : Vec3{1e300, 1e300, 1e300};
    for (auto& o : m.objects)
        for (Vertex* v : o->vertices) {
            const Vec3& p = v->position;
            r = max ? Vec3{std::max(r.x, p.x), std::max(r.y, p.y), std::max(r.z, p.z)}
                    : Vec3{std::min(r.x, p.x), std::min(r.y, p.y), std::min(r.z, p.z)};
        }
    return r;
}

} // namespace

TEST_F(PrepareTest, NormalisesIntoTheUnitCubeAndRecordsTheScale)
{
    auto model = buildModel(boxSpec({0, -2, -1}, {10, 2, 1}));
    prepareForUnfolding(*model);
    const Vec3 mn = boundsOf(*model, false), mx = boundsOf(*model, true);
    EXPECT_DOUBLE_EQ(mn.x, -1.0);
    EXPECT_DOUBLE_EQ(mx.x, 1.0);
    EXPECT_DOUBLE_EQ(mn.y, -0.4);
    EXPECT_DOUBLE_EQ(mx.y, 0.4);
    EXPECT_DOUBLE_EQ(mn.z, -0.2);
    EXPECT_DOUBLE_EQ(mx.z, 0.2);
    EXPECT_DOUBLE_EQ(model->unitScale, 0.2);
    // Lengths are measured after the scaling: 12 edges of 2, 0.8 and 0.4.
    double sum = 0;
    for (Edge* e : model->objects[0]->edges) sum += e->length;
    EXPECT_NEAR(sum, 4 * (2.0 + 0.8 + 0.4), 1e-12);
    EXPECT_NEAR(model->objects[0]->meanEdgeLength, sum / 12, 1e-12);
    EXPECT_NEAR(model->averageEdgeLength, sum / 12, 1e-12);
}

TEST_F(PrepareTest, AverageEdgeLengthIsTheMeanOfTheObjectMeans)
{
    auto model = buildModel({boxSpec({0, 0, 0}, {1, 1, 1}), boxSpec({2, 0, 0}, {4, 2, 2})});
    prepareForUnfolding(*model);
    const double a = model->objects[0]->meanEdgeLength, b = model->objects[1]->meanEdgeLength;
    EXPECT_NEAR(b, 2 * a, 1e-12);
    EXPECT_NEAR(model->averageEdgeLength, (a + b) / 2, 1e-12);
}

TEST_F(PrepareTest, ModelWithoutExtentIsOnlyCentred)
{
    MeshSpec s;
    s.vertices = {{3, 3, 3}, {3, 3, 3}, {3, 3, 3}};
    s.faces = {{0, 1, 2}};
    auto model = buildModel(s);
    prepareForUnfolding(*model);
    for (Vertex* v : model->objects[0]->vertices) EXPECT_EQ(v->position, (Vec3{0, 0, 0}));
    EXPECT_EQ(model->unitScale, 1.0);
    for (Edge* e : model->objects[0]->edges) EXPECT_EQ(e->length, 0.0);
}

TEST_F(PrepareTest, CubeEdgesAreRightAngledRidges)
{
    auto model = buildModel(boxSpec());
    prepareForUnfolding(*model);
    ASSERT_EQ(model->objects[0]->edges.size(), 12u);
    for (Edge* e : model->objects[0]->edges) {
        EXPECT_NEAR(e->foldAngle, 90.0, 1e-9);
        EXPECT_EQ(e->isRidge, 1);
        EXPECT_EQ(e->state, EdgeState::Untouched);
    }
}

TEST_F(PrepareTest, CoplanarTrianglesFoldFlat)
{
    MeshSpec s;
    s.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}, {0, 2, 3}};
    auto model = buildModel(s);
    prepareForUnfolding(*model);
    int shared = 0;
    for (Edge* e : model->objects[0]->edges) {
        if (!e->halfEdge2) continue;
        ++shared;
        EXPECT_NEAR(e->foldAngle, 180.0, 1e-6);
        EXPECT_EQ(e->isRidge, 1);
    }
    EXPECT_EQ(shared, 1);
}

TEST_F(PrepareTest, InnerCornerOfAnLBlockIsAValley)
{
    auto model = buildModel(lPrismSpec());
    prepareForUnfolding(*model);
    // Vertex ids run from 1: outline corner i at z=0 has id i+1, at z=1 id i+7.
    // The inner corner of the L is outline corner 3, (1, 1).
    int valleys = 0;
    for (Edge* e : model->objects[0]->edges) {
        EXPECT_NEAR(e->foldAngle, 90.0, 1e-9);
        const bool inner = (e->vertex1->id == 4 && e->vertex2->id == 10) ||
                           (e->vertex1->id == 10 && e->vertex2->id == 4);
        EXPECT_EQ(e->isRidge, inner ? 0 : 1);
        valleys += e->isRidge == 0;
    }
    EXPECT_EQ(valleys, 1);
}

TEST_F(PrepareTest, SingleTriangleHasBorderEdges)
{
    MeshSpec s;
    s.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto model = buildModel(s);
    prepareForUnfolding(*model);
    for (Edge* e : model->objects[0]->edges) {
        EXPECT_EQ(e->state, EdgeState::Border);
        EXPECT_EQ(e->isRidge, 1);
        EXPECT_EQ(e->foldAngle, -1.0);
    }
}

// A dart (non-convex quadrilateral) whose edge from its reflex corner meets a
// triangle bent down by 45 degrees: the reflex corner must not turn the
// angle into its supplement.
TEST_F(PrepareTest, FoldAngleAtAReflexCornerIsMeasuredOutward)
{
    const Vec3 r{1, 1.5, 0};
    const Vec3 o{0, 0, 0};
    const Vec3 mid = (r + o) / 2.0;
    const Vec3 across = Vec3{-1.5, 1, 0} / std::sqrt(3.25);
    const double c = std::sqrt(0.5);
    const Vec3 q = mid + across * c + Vec3{0, 0, -1} * c;
    MeshSpec s;
    s.vertices = {o, {3, 1.5, 0}, {0, 3, 0}, r, q};
    s.faces = {{0, 1, 2, 3}, {0, 3, 4}};
    auto model = buildModel(s);
    prepareForUnfolding(*model);
    Edge* shared = nullptr;
    for (Edge* e : model->objects[0]->edges)
        if (e->halfEdge2) shared = e;
    ASSERT_NE(shared, nullptr);
    EXPECT_NEAR(shared->foldAngle, 135.0, 1e-9);
}

TEST_F(PrepareTest, CentroidsAndPlanesMoveWithTheCorners)
{
    auto model = buildModel(boxSpec({2, -2, 4}, {10, 2, 6}));
    prepareForUnfolding(*model);
    for (Face* f : model->objects[0]->faces) {
        Vec3 mean;
        for (HalfEdge* h : f->outerLoop.halfEdges) mean += h->origin->position;
        mean = mean / static_cast<double>(f->outerLoop.halfEdges.size());
        EXPECT_NEAR(length(f->centroid - mean), 0.0, 1e-12);
        for (HalfEdge* h : f->outerLoop.halfEdges) {
            const Vec3& p = h->origin->position;
            EXPECT_NEAR(f->plane.a * p.x + f->plane.b * p.y + f->plane.c * p.z + f->plane.d, 0.0, 1e-12);
        }
    }
}
