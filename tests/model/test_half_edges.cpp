// Twin pairing, edge order, warnings and face inversion of the polygon model.
#include "model/diagnostics.h"
#include "model/mesh.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Captured {
    std::ostringstream text;
    DiagnosticsRedirect redirect{text};
};

std::vector<Vertex*> cornerVertices(const Loop& loop)
{
    std::vector<Vertex*> out;
    for (HalfEdge* h : loop.halfEdges) out.push_back(h->origin);
    return out;
}

void expectInvariants(const Model& model)
{
    for (auto& object : model.objects) {
        for (Face* f : object->faces) {
            for (HalfEdge* h : f->outerLoop.halfEdges) {
                ASSERT_NE(h->edge, nullptr);
                EXPECT_EQ(h->next->prev, h);
                if (h->twin) {
                    EXPECT_EQ(h->twin->twin, h);
                    EXPECT_EQ(h->twin->edge, h->edge);
                    EXPECT_EQ(h->twin->origin, h->next->origin);
                }
            }
        }
    }
}

} // namespace

TEST(HalfEdges, ClosedCubePairsEveryEdgeWithoutWarning)
{
    Captured cap;
    auto model = buildModel(boxSpec());
    const MeshObject& cube = *model->objects[0];
    ASSERT_EQ(cube.edges.size(), 12u);
    for (Edge* e : cube.edges) {
        ASSERT_NE(e->halfEdge2, nullptr);
        EXPECT_EQ(e->vertex1, e->halfEdge1->origin);
        EXPECT_EQ(e->vertex2, e->halfEdge2->origin);
        EXPECT_EQ(e->foldAngle, -1.0);
        EXPECT_EQ(e->edgeId, -1);
        EXPECT_EQ(e->state, EdgeState::Untouched);
    }
    EXPECT_EQ(cap.text.str(), "");
    expectInvariants(*model);
    EXPECT_EQ(model->faceCount, 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cube.faces[i]->index, i);
}

TEST(HalfEdges, PairedEdgesComeInOrderOfCompletion)
{
    // Faces are visited in order; the edge whose pair completes first is first.
    auto model = buildModel(boxSpec());
    const MeshObject& cube = *model->objects[0];
    // The first face (0,3,2,1) pairs nothing; face 1 (4,5,6,7) shares no edge
    // with it; face 2 (0,1,5,4) completes 1->0 with face 0, then 5->4 with face 1.
    const Edge* first = cube.edges[0];
    EXPECT_EQ(first->halfEdge1->loop->face, cube.faces[2]);
    EXPECT_EQ(first->vertex1, cube.vertices[0]);
    EXPECT_EQ(first->vertex2, cube.vertices[1]);
    const Edge* second = cube.edges[1];
    EXPECT_EQ(second->halfEdge1->loop->face, cube.faces[2]);
    EXPECT_EQ(second->vertex1, cube.vertices[5]);
    EXPECT_EQ(second->vertex2, cube.vertices[4]);
    // Every edge's first half-edge belongs to a later face than its second.
    for (Edge* e : cube.edges)
        EXPECT_GT(e->halfEdge1->loop->face->index, e->halfEdge2->loop->face->index);
}

TEST(HalfEdges, LoneTriangleHasThreeBoundaryEdgesInVertexOrder)
{
    MeshSpec tri{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}};
    auto model = buildModel(tri);
    const MeshObject& o = *model->objects[0];
    ASSERT_EQ(o.edges.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(o.edges[i]->halfEdge2, nullptr);
        EXPECT_EQ(o.edges[i]->vertex1, o.vertices[i]);
        EXPECT_EQ(o.edges[i]->vertex2, o.vertices[(i + 1) % 3]);
    }
    // The plane of a counter-clockwise triangle points along +z.
    const Plane& p = o.faces[0]->plane;
    EXPECT_DOUBLE_EQ(p.c, 1.0);
    EXPECT_DOUBLE_EQ(p.d, 0.0);
    EXPECT_DOUBLE_EQ(o.faces[0]->centroid.x, 1.0 / 3.0);
}

TEST(HalfEdges, BoundaryEdgesFollowVertexCreationOrderNotFaceOrder)
{
    // The second face uses the earliest vertices; its boundary sides come first.
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 0}, {6, 5, 0}, {5, 6, 0}},
               {{3, 4, 5}, {0, 1, 2}}};
    auto model = buildModel(s);
    const MeshObject& o = *model->objects[0];
    ASSERT_EQ(o.edges.size(), 6u);
    EXPECT_EQ(o.edges[0]->vertex1, o.vertices[0]);
    EXPECT_EQ(o.edges[3]->vertex1, o.vertices[3]);
}

TEST(HalfEdges, SameWindingNeighboursStaySeparateWithWarning)
{
    Captured cap;
    // Both triangles run 0 -> 1 along their shared side.
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, -1, 0}}, {{0, 1, 2}, {0, 1, 3}}};
    auto model = buildModel(s);
    const MeshObject& o = *model->objects[0];
    EXPECT_EQ(o.edges.size(), 6u);
    for (Edge* e : o.edges) EXPECT_EQ(e->halfEdge2, nullptr);
    EXPECT_EQ(cap.text.str(),
              "Warning: the halfedge between vertex((0,0,0)) and vertex ((1,0,0) have been "
              "already defined.\n");
}

TEST(HalfEdges, ThirdFaceOnOneEdgeBecomesBoundary)
{
    Captured cap;
    // Sides (a,b), (b,a), (a,b) along a = v0, b = v1.
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
               {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}};
    auto model = buildModel(s);
    const MeshObject& o = *model->objects[0];
    const HalfEdge* ab1 = o.faces[0]->outerLoop.halfEdges[0];
    const HalfEdge* ba = o.faces[1]->outerLoop.halfEdges[0];
    const HalfEdge* ab2 = o.faces[2]->outerLoop.halfEdges[0];
    EXPECT_EQ(ab1->twin, ba);
    EXPECT_EQ(ba->twin, ab1);
    EXPECT_EQ(ab2->twin, nullptr);
    EXPECT_EQ(ab2->edge->halfEdge2, nullptr);
    EXPECT_EQ(o.edges[0], ba->edge); // the only pair, completed by face 1
    EXPECT_EQ(o.edges.size(), 8u);
    EXPECT_EQ(cap.text.str(),
              "Warning: the halfedge between vertex((0,0,0)) and vertex ((1,0,0) have been "
              "already defined.\n");
}

TEST(HalfEdges, SecondReverseSideGivesTheTwoOrMoreWarning)
{
    Captured cap;
    // (a,b), (a,b), then (b,a): the reverse side pairs with the first and
    // sees a second partner.
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
               {{0, 1, 2}, {0, 1, 4}, {1, 0, 3}}};
    auto model = buildModel(s);
    const MeshObject& o = *model->objects[0];
    EXPECT_EQ(o.faces[2]->outerLoop.halfEdges[0]->twin, o.faces[0]->outerLoop.halfEdges[0]);
    EXPECT_EQ(o.faces[1]->outerLoop.halfEdges[0]->twin, nullptr);
    EXPECT_EQ(cap.text.str(),
              "Warning: the halfedge between vertex((0,0,0)) and vertex ((1,0,0) have been "
              "already defined.\n"
              "Warning: two or more halfedges are assigned to one halfedge\n");
}

TEST(HalfEdges, ShortFacesAreSkippedWithWarning)
{
    Captured cap;
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1}, {0, 1, 2}}};
    auto model = buildModel(s);
    const MeshObject& o = *model->objects[0];
    ASSERT_EQ(o.faces.size(), 1u);
    EXPECT_EQ(model->faceCount, 1);
    EXPECT_EQ(o.faces[0]->index, 0);
    EXPECT_EQ(o.edges.size(), 3u);
    EXPECT_NE(cap.text.str().find("fewer than three corners"), std::string::npos);
}

TEST(HalfEdges, CollinearFirstCornersStillGiveTheFacePlane)
{
    // A square whose first three corners lie on one line.
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 1, 2, 3, 4}}};
    auto model = buildModel(s);
    const Plane& p = model->objects[0]->faces[0]->plane;
    EXPECT_NEAR(p.a, 0.0, 1e-12);
    EXPECT_NEAR(p.b, 0.0, 1e-12);
    EXPECT_NEAR(p.c, 1.0, 1e-12);
    EXPECT_NEAR(p.d, 0.0, 1e-12);

    // A face with no area at all gets a zero plane, never NaN.
    MeshSpec flat{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {{0, 1, 2}}};
    auto m2 = buildModel(flat);
    const Plane& q = m2->objects[0]->faces[0]->plane;
    EXPECT_EQ(q.a, 0.0);
    EXPECT_EQ(q.c, 0.0);
    EXPECT_EQ(q.d, 0.0);
}

TEST(HalfEdges, ReflexFirstCornerStillGivesTheOutwardPlane)
{
    // A counter-clockwise L whose first corner (1, 1) is the reflex one.
    MeshSpec s{{{1, 1, 0}, {1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {2, 0, 0}, {2, 1, 0}},
               {{0, 1, 2, 3, 4, 5}}};
    auto model = buildModel(s);
    const Plane& p = model->objects[0]->faces[0]->plane;
    EXPECT_NEAR(p.c, 1.0, 1e-12);
    EXPECT_NEAR(p.d, 0.0, 1e-12);
}

TEST(HalfEdges, BoundsWidenOnEveryAxis)
{
    MeshSpec s{{{1, -2, 3}, {-4, 5, -6}}, {}};
    auto model = buildModel(s);
    EXPECT_EQ(model->boundsMin, Vec3(-4, -2, -6));
    EXPECT_EQ(model->boundsMax, Vec3(1, 5, 3));
}

TEST(HalfEdges, FindVertexReturnsTheLastExactMatch)
{
    Model model;
    MeshObject* o = model.addObject();
    Vertex* a = o->addVertex(1, 2, 3, 1);
    EXPECT_EQ(o->findVertex(1, 2, 3), a);
    Vertex* b = o->addVertex(1, 2, 3, 2); // added after the index exists
    EXPECT_EQ(o->findVertex(1, 2, 3), b);
    EXPECT_EQ(o->findVertex(1, 2, 3.0000001), nullptr);
    Vertex* z = o->addVertex(0.0, 0.0, 0.0, 3);
    EXPECT_EQ(o->findVertex(-0.0, 0.0, -0.0), z);
    MeshObject* other = model.addObject();
    EXPECT_EQ(other->findVertex(1, 2, 3), nullptr);
}

TEST(Invert, QuadrilateralListsADCB)
{
    MeshSpec s{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}}};
    auto model = buildModel(s);
    MeshObject& o = *model->objects[0];
    Vertex *a = o.vertices[0], *b = o.vertices[1], *c = o.vertices[2], *d = o.vertices[3];
    HalfEdge* last = o.faces[0]->outerLoop.halfEdges[3];
    model->invertFaces();
    const Loop& loop = o.faces[0]->outerLoop;
    EXPECT_EQ(cornerVertices(loop), (std::vector<Vertex*>{a, d, c, b}));
    EXPECT_EQ(loop.halfEdges[0], last);
    std::vector<Vertex*> cycle;
    const HalfEdge* h = loop.halfEdges[0];
    for (int i = 0; i < 4; ++i, h = h->next) cycle.push_back(h->origin);
    EXPECT_EQ(cycle, (std::vector<Vertex*>{a, d, c, b}));
    EXPECT_DOUBLE_EQ(o.faces[0]->plane.c, -1.0);
}

TEST(Invert, TwiceRestoresEverything)
{
    auto model = buildModel(boxSpec());
    MeshObject& o = *model->objects[0];
    o.edges[0]->isRidge = 1;
    o.edges[1]->isRidge = 0;
    o.edges[2]->state = EdgeState::Border;
    o.edges[2]->isRidge = 1;

    struct Snap {
        Vertex* origin;
        HalfEdge* next;
        HalfEdge* prev;
    };
    std::vector<std::vector<HalfEdge*>> loops;
    std::vector<Snap> snaps;
    std::vector<Plane> planes;
    std::vector<int> ridges;
    for (Face* f : o.faces) {
        loops.push_back(f->outerLoop.halfEdges);
        planes.push_back(f->plane);
        for (HalfEdge* h : f->outerLoop.halfEdges) snaps.push_back({h->origin, h->next, h->prev});
    }
    for (Edge* e : o.edges) ridges.push_back(e->isRidge);

    model->invertFaces();
    EXPECT_EQ(o.edges[0]->isRidge, 0);
    EXPECT_EQ(o.edges[1]->isRidge, 1);
    EXPECT_EQ(o.edges[2]->isRidge, 1); // a border edge keeps its flag
    expectInvariants(*model);
    model->invertFaces();

    std::size_t k = 0;
    for (std::size_t i = 0; i < o.faces.size(); ++i) {
        Face* f = o.faces[i];
        EXPECT_EQ(f->outerLoop.halfEdges, loops[i]);
        EXPECT_EQ(f->plane.a, planes[i].a);
        EXPECT_EQ(f->plane.b, planes[i].b);
        EXPECT_EQ(f->plane.c, planes[i].c);
        EXPECT_EQ(f->plane.d, planes[i].d);
        for (HalfEdge* h : f->outerLoop.halfEdges) {
            EXPECT_EQ(h->origin, snaps[k].origin);
            EXPECT_EQ(h->next, snaps[k].next);
            EXPECT_EQ(h->prev, snaps[k].prev);
            ++k;
        }
    }
    for (std::size_t i = 0; i < o.edges.size(); ++i) EXPECT_EQ(o.edges[i]->isRidge, ridges[i]);
}
