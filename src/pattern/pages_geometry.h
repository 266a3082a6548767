#pragma once
// Plane geometry in millimetres for the Pages layout: points, turns,
// convex hulls, the turn that gives the smallest box, and whether two
// polygons share any interior.
#include <vector>

namespace nettor {

struct MmPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const MmPoint&) const = default;
};

inline constexpr double kPagesPi = 3.14159265358979323846;

// A turn by degrees about the origin (x towards y); quarter turns exact.
struct Turn {
    double c = 1.0, s = 0.0;
    explicit Turn(double degrees);
    MmPoint operator()(MmPoint p) const { return {p.x * c - p.y * s, p.x * s + p.y * c}; }
};

// p turned by degrees about the origin (x towards y).
MmPoint turned(MmPoint p, double degrees);

// Convex hull, counter-clockwise in a y-up sense, without collinear points;
// fewer than three points come back as they are (duplicates removed).
std::vector<MmPoint> convexHull(std::vector<MmPoint> points);

// The turn in [0, 90) degrees after which the axis-aligned box of the
// points is smallest in area; on equal areas the smaller angle.
double smallestBoxTurn(const std::vector<MmPoint>& hull);

// Twice the signed area (positive counter-clockwise in a y-up sense).
double doubleArea(const std::vector<MmPoint>& polygon);

// Whether the interiors of a convex polygon and a simple polygon overlap:
// an edge of one crosses an edge of the other, or a corner of one lies
// inside the other. Touching at corners or along edges does not count.
bool convexOverlapsPolygon(const std::vector<MmPoint>& convex, const std::vector<MmPoint>& polygon);

// Whether p lies strictly inside the simple polygon (even-odd rule).
bool insidePolygon(MmPoint p, const std::vector<MmPoint>& polygon);

// The smallest distance between two segments.
double segmentDistance(MmPoint a, MmPoint b, MmPoint c, MmPoint d);

} // namespace nettor
