#pragma once
// Finding the face and the edge under a click by projecting the model in
// software.
#include "model/mesh.h"
#include "scene/projection.h"

#include <vector>

namespace nettor {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

// Whether the polygon (corners in order, either winding) contains k. A
// convex outline takes k when the cross products (Q - P) x (k - P) of all
// sides P->Q have the sign of the first one (0 counting as positive), so
// points on its sides are inside. An outline that is not convex is also
// taken when k lies inside it by the even-odd rule: near a reflex corner the
// sign test alone turns inner points away.
bool polygonContains(const std::vector<Point2>& corners, const Point2& k);

// The distance from k to the segment a-b.
double distanceToSegment(const Point2& k, const Point2& a, const Point2& b);

// The face whose projected outline contains widget position (x, y) (y
// downwards) and whose projected centroid is nearest the viewer; the
// earlier face wins on equal depths. Faces seen from behind count too.
// Faces with a corner behind the eye are not taken. Null when none.
Face* pickFace(const Model& model, const ViewSnapshot& view, int x, int y);

// The single face test of pickFace: whether the face's outline, projected
// with every corner in front of the eye, contains the window point k (y
// upwards); depth is then its projected centroid's. corners is scratch
// space.
bool faceHoldsClick(const Face& face, const ViewSnapshot& view, const Point2& k, std::vector<Point2>& corners,
                    double& depth);

// The edge of the face's outer loop whose projected segment lies nearest
// the window point k, as pickEdge takes it.
Edge* nearestEdgeOfFace(const Face& face, const ViewSnapshot& view, const Point2& k);

// The window point of widget position (x, y) (y downwards).
Point2 clickPoint(const ViewSnapshot& view, int x, int y);

// The edge of the picked face's outer loop whose projected segment lies
// nearest the click (the first of equal ones); null when no face is picked.
// A click right on a side takes that side.
Edge* pickEdge(const Model& model, const ViewSnapshot& view, int x, int y);

// The side (half-edge) of the picked face whose projected segment lies
// nearest the point, when it lies at most maxPixels away; null otherwise.
// Pointing at an edge names the face it is seen on and the side of it.
HalfEdge* pickSide(const Model& model, const ViewSnapshot& view, int x, int y, double maxPixels);

// The side of the given face that pickSide would take at widget position
// (x, y), for a caller that has found the face already.
HalfEdge* sideOfFaceNear(const Face& face, const ViewSnapshot& view, int x, int y, double maxPixels);

} // namespace nettor
