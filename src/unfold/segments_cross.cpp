#include "unfold/overlap.h"

namespace nettor {

namespace {
double crossZ(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }
} // namespace

bool segmentsIntersect(const PatternPoint& p1, const PatternPoint& p2, const PatternPoint& p3,
                       const PatternPoint& p4, double eps)
{
    if (p1.x == p2.x && p1.y == p2.y) return false;
    if (p3.x == p4.x && p3.y == p4.y) return false;
    const double d1x = p2.x - p1.x, d1y = p2.y - p1.y;
    const double d2x = p4.x - p3.x, d2y = p4.y - p3.y;
    // Comparisons with the infinite or undefined quotient of parallel
    // segments are false, so those never cross.
    const double t = crossZ(p1.x - p3.x, p1.y - p3.y, d1x, d1y) / crossZ(d2x, d2y, d1x, d1y);
    if (!(eps <= t && t <= 1.0 - eps)) return false;
    const double s = crossZ(p3.x - p1.x, p3.y - p1.y, d2x, d2y) / crossZ(d1x, d1y, d2x, d2y);
    if (!(eps <= s && s <= 1.0 - eps)) return false;
    return true;
}

} // namespace nettor
