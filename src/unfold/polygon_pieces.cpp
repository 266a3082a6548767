#include "unfold/polygon_pieces.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace nettor {

namespace {

// Twice the signed area of the triangle a, b, c: positive when it turns left.
double cornerTurn(const PatternPoint& a, const PatternPoint& b, const PatternPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

} // namespace

double twiceSignedArea(std::span<const PatternPoint> p)
{
    double sum = 0.0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const PatternPoint& s = p[i];
        const PatternPoint& t = p[(i + 1) % n];
        sum += s.x * t.y - t.x * s.y;
    }
    return sum;
}

// Convex: no corner turns against the sense of the whole, and the sides turn
// round once (the x and the y parts of the side directions each change sign
// at most twice on the way round).
bool isConvexPolygon(std::span<const PatternPoint> p, double sense)
{
    const std::size_t n = p.size();
    if (n == 3) return true;
    int xChanges = 0, yChanges = 0;
    double lastDx = 0.0, lastDy = 0.0;
    double firstDx = 0.0, firstDy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const PatternPoint& a = p[(i + n - 1) % n];
        const PatternPoint& b = p[i];
        const PatternPoint& c = p[(i + 1) % n];
        if (sense * cornerTurn(a, b, c) < 0.0) return false;
        const double dx = c.x - b.x, dy = c.y - b.y;
        if (dx != 0.0) {
            if (lastDx != 0.0 && (dx > 0.0) != (lastDx > 0.0)) ++xChanges;
            if (firstDx == 0.0) firstDx = dx;
            lastDx = dx;
        }
        if (dy != 0.0) {
            if (lastDy != 0.0 && (dy > 0.0) != (lastDy > 0.0)) ++yChanges;
            if (firstDy == 0.0) firstDy = dy;
            lastDy = dy;
        }
    }
    // Close the round: from the last side back to the first.
    if (lastDx != 0.0 && firstDx != 0.0 && (firstDx > 0.0) != (lastDx > 0.0)) ++xChanges;
    if (lastDy != 0.0 && firstDy != 0.0 && (firstDy > 0.0) != (lastDy > 0.0)) ++yChanges;
    return xChanges <= 2 && yChanges <= 2;
}

// Cuts a simple polygon of the given sense into triangles (ear clipping),
// appended three corners each. Corners on a line, and rounding that leaves
// no clean ear, cost at most slivers, never a triangle outside the polygon
// where a clean ear exists.
void triangulatePolygon(std::span<const PatternPoint> p, double sense, std::vector<PatternPoint>& out)
{
    std::vector<std::size_t> left(p.size());
    for (std::size_t i = 0; i < left.size(); ++i) left[i] = i;
    auto corner = [&](std::size_t k) -> const PatternPoint& { return p[left[k % left.size()]]; };

    while (left.size() > 3) {
        const std::size_t m = left.size();
        std::size_t ear = m;
        for (std::size_t k = 0; k < m && ear == m; ++k) {
            const PatternPoint& a = corner(k + m - 1);
            const PatternPoint& b = corner(k);
            const PatternPoint& c = corner(k + 1);
            if (!(sense * cornerTurn(a, b, c) > 0.0)) continue;
            bool clean = true;
            for (std::size_t j = 0; j < m && clean; ++j) {
                if (j == k || j == (k + 1) % m || j == (k + m - 1) % m) continue;
                const PatternPoint& v = corner(j);
                // A corner repeated at an ear's corner does not spoil it.
                if ((v.x == a.x && v.y == a.y) || (v.x == b.x && v.y == b.y) ||
                    (v.x == c.x && v.y == c.y))
                    continue;
                if (sense * cornerTurn(a, b, v) >= 0.0 && sense * cornerTurn(b, c, v) >= 0.0 &&
                    sense * cornerTurn(c, a, v) >= 0.0)
                    clean = false;
            }
            if (clean) ear = k;
        }
        if (ear == m) {
            // No clean ear (rounding, or a polygon that is not simple): drop
            // the corner that turns least, keeping its triangle if it turns
            // the right way.
            double least = 0.0;
            for (std::size_t k = 0; k < m; ++k) {
                const double t = std::abs(cornerTurn(corner(k + m - 1), corner(k), corner(k + 1)));
                if (ear == m || t < least) {
                    least = t;
                    ear = k;
                }
            }
        }
        const PatternPoint& a = corner(ear + m - 1);
        const PatternPoint& b = corner(ear);
        const PatternPoint& c = corner(ear + 1);
        if (sense * cornerTurn(a, b, c) > 0.0) out.insert(out.end(), {a, b, c});
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(ear));
    }
    if (sense * cornerTurn(corner(0), corner(1), corner(2)) > 0.0)
        out.insert(out.end(), {corner(0), corner(1), corner(2)});
}

} // namespace nettor
