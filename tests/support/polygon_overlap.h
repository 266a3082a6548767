#pragma once
// Overlap of flat faces measured with Boost.Geometry's polygon
// intersection, independently of the engine's own overlap test.
#include "model/mesh.h"

#include <string>
#include <vector>

namespace nettor::test {

// Area of a simple polygon given by its corners in either sense.
double polygonArea(const std::vector<PatternPoint>& corners);
// Area of the intersection of two simple polygons (corners in either
// sense). Not a number when the library cannot intersect them.
double intersectionArea(const std::vector<PatternPoint>& a, const std::vector<PatternPoint>& b);

struct FacePairOverlap {
    const Face* a;
    const Face* b;
    double area;        // of the intersection
    double smallerArea; // of the smaller of the two faces
    std::string describe() const;
};

// The corners of a placed face in loop order.
std::vector<PatternPoint> patternCorners(const Face& face);

// Every pair of faces of one part of the model whose flat faces overlap by
// more than ratio times the smaller face's area (or could not be measured).
std::vector<FacePairOverlap> overlappingFacePairs(const Model& model, double ratio);

} // namespace nettor::test
