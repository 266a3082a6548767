// Picking in software: the face under a click (nearest projected centroid,
// seen from either side, concave outlines), and its nearest edge.
#include "scene/pick.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

using namespace nettor;
using namespace nettor::test;

namespace {

// A view that maps model x, y in [-1, 1] onto a 200 x 200 window and keeps z
// as the depth: the widget position of (x, y) is (100 + 100 x, 100 - 100 y).
ViewSnapshot flatView()
{
    ViewSnapshot view;
    view.viewport = {0, 0, 200, 200};
    return view;
}

int col(double x) { return static_cast<int>(100 + 100 * x); }
int row(double y) { return static_cast<int>(100 - 100 * y); }

// Two unit squares, one above the other in z, overlapping in x, y; the
// first is wound clockwise on screen, the second counter-clockwise.
MeshSpec overlappingSquares(double zFirst, double zSecond)
{
    MeshSpec s;
    s.vertices = {{-0.5, -0.5, zFirst}, {-0.5, 0.5, zFirst}, {0.5, 0.5, zFirst}, {0.5, -0.5, zFirst},
                  {0.0, 0.0, zSecond},  {0.8, 0.0, zSecond}, {0.8, 0.8, zSecond}, {0.0, 0.8, zSecond}};
    s.faces = {{0, 1, 2, 3}, {4, 5, 6, 7}};
    return s;
}

TEST(PickFace, NearestProjectedCentroidWinsOnEitherSide)
{
    const ViewSnapshot view = flatView();
    for (const bool firstNearer : {true, false}) {
        SCOPED_TRACE(firstNearer ? "clockwise face nearer" : "counter-clockwise face nearer");
        auto model = buildModel(overlappingSquares(firstNearer ? -0.5 : 0.5, 0.0));
        Face* cw = model->objects[0]->faces[0];
        Face* ccw = model->objects[0]->faces[1];
        EXPECT_EQ(pickFace(*model, view, col(0.25), row(0.25)), firstNearer ? cw : ccw);
        // Where only one of them lies.
        EXPECT_EQ(pickFace(*model, view, col(-0.25), row(-0.25)), cw);
        EXPECT_EQ(pickFace(*model, view, col(0.7), row(0.7)), ccw);
        EXPECT_EQ(pickFace(*model, view, col(-0.9), row(0.9)), nullptr);
    }
    // Equal depths: the earlier face stays.
    auto model = buildModel(overlappingSquares(0.0, 0.0));
    EXPECT_EQ(pickFace(*model, view, col(0.25), row(0.25)), model->objects[0]->faces[0]);
}

TEST(PickFace, ClickInTheNotchOfAnLShapedFace)
{
    // An L: the square [0,1]^2 without its upper right quarter; the reflex
    // corner (0.5, 0.5) comes third, so the sign test alone fails near it.
    MeshSpec s;
    s.vertices = {{1, 0, 0}, {1, 0.5, 0}, {0.5, 0.5, 0}, {0.5, 1, 0}, {0, 1, 0}, {0, 0, 0}};
    s.faces = {{0, 1, 2, 3, 4, 5}};
    auto model = buildModel(s);
    const ViewSnapshot view = flatView();
    Face* l = model->objects[0]->faces[0];
    for (const auto& [x, y] : {std::pair{0.45, 0.45}, std::pair{0.25, 0.75}, std::pair{0.75, 0.25},
                               std::pair{0.1, 0.1}, std::pair{0.45, 0.9}}) {
        EXPECT_EQ(pickFace(*model, view, col(x), row(y)), l) << x << ", " << y;
    }
    // The missing quarter and the outside are not the face.
    EXPECT_EQ(pickFace(*model, view, col(0.75), row(0.75)), nullptr);
    EXPECT_EQ(pickFace(*model, view, col(1.2), row(0.25)), nullptr);
}

TEST(PickFace, PolygonTestKeepsConvexResults)
{
    const std::vector<Point2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const std::vector<Point2> reversed = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
    for (const auto& corners : {square, reversed}) {
        EXPECT_TRUE(polygonContains(corners, {5, 5}));
        EXPECT_FALSE(polygonContains(corners, {15, 5}));
        EXPECT_FALSE(polygonContains(corners, {5, -1}));
    }
    // A point on a side counts as inside for this winding.
    EXPECT_TRUE(polygonContains(square, {5, 0}));
    EXPECT_TRUE(polygonContains(square, {10, 10}));
    // A triangle seen edge-on contains only points on its line.
    EXPECT_FALSE(polygonContains({{0, 0}, {5, 0}, {10, 0}}, {5, 1}));
    EXPECT_FALSE(polygonContains({}, {0, 0}));
}

TEST(PickFace, FacesBehindTheEyeAreNotTaken)
{
    // A perspective that puts w = -z: the square at z = +1 lies behind.
    ViewSnapshot view = flatView();
    view.projection = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -1, 0, 0, 0, 0};
    auto model = buildModel(overlappingSquares(1.0, -1.0));
    EXPECT_EQ(pickFace(*model, view, col(-0.25), row(-0.25)), nullptr);
    EXPECT_EQ(pickFace(*model, view, col(0.25), row(0.25)), model->objects[0]->faces[1]);
}

TEST(PickEdge, NearestSideOfThePickedFace)
{
    EXPECT_DOUBLE_EQ(distanceToSegment({5, 3}, {0, 0}, {10, 0}), 3.0);
    EXPECT_DOUBLE_EQ(distanceToSegment({-3, 4}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(distanceToSegment({13, 4}, {0, 0}, {10, 0}), 5.0);
    EXPECT_DOUBLE_EQ(distanceToSegment({3, 4}, {0, 0}, {0, 0}), 5.0);

    MeshSpec s;
    s.vertices = {{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}};
    s.faces = {{0, 1, 2, 3}};
    auto model = buildModel(s);
    const ViewSnapshot view = flatView();
    auto edgeOf = [&](int corner) { return model->objects[0]->faces[0]->outerLoop.halfEdges[static_cast<std::size_t>(corner)]->edge; };
    EXPECT_EQ(pickEdge(*model, view, col(0.0), row(-0.4)), edgeOf(0));  // bottom
    EXPECT_EQ(pickEdge(*model, view, col(0.4), row(0.1)), edgeOf(1));   // right
    EXPECT_EQ(pickEdge(*model, view, col(0.1), row(0.45)), edgeOf(2));  // top
    EXPECT_EQ(pickEdge(*model, view, col(-0.3), row(0.0)), edgeOf(3));  // left
    // Right on a side (distance 0) takes that side.
    EXPECT_EQ(pickEdge(*model, view, col(0.5), row(0.0)), edgeOf(1));
    EXPECT_EQ(pickEdge(*model, view, col(0.0), row(0.5)), edgeOf(2));
    // Equally near two sides: the first of the loop.
    EXPECT_EQ(pickEdge(*model, view, col(0.0), row(0.0)), edgeOf(0));
    // No face, no edge.
    EXPECT_EQ(pickEdge(*model, view, col(0.9), row(0.0)), nullptr);
}

} // namespace
