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

// The edge of the picked face's outer loop whose projected segment lies
// nearest the click (the first of equal ones); null when no face is picked.
// A click right on a side takes that side.
Edge* pickEdge(const Model& model, const ViewSnapshot& view, int x, int y);

} // namespace nettor
