#include "unfold/grid_box.h"

#include <algorithm>

namespace nettor {

GridBox boxOfCorners(std::span<const PatternPoint> p)
{
    GridBox b{p[0].x, p[0].y, p[0].x, p[0].y};
    for (const PatternPoint& q : p) {
        b.minX = std::min(b.minX, q.x);
        b.minY = std::min(b.minY, q.y);
        b.maxX = std::max(b.maxX, q.x);
        b.maxY = std::max(b.maxY, q.y);
    }
    return b;
}

bool boxesApart(const GridBox& a, const GridBox& b, double tolerance)
{
    return std::min(a.maxX, b.maxX) - std::max(a.minX, b.minX) <= tolerance ||
           std::min(a.maxY, b.maxY) - std::max(a.minY, b.minY) <= tolerance;
}

} // namespace nettor
