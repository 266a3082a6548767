#include "unfold/overlap.h"

#include "unfold/box_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace nettor {

namespace {

using Corners = std::span<const PatternPoint>;

// Twice the signed area of the triangle a, b, c: positive when it turns left.
double turn(const PatternPoint& a, const PatternPoint& b, const PatternPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double twiceSignedArea(Corners p)
{
    double sum = 0.0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const PatternPoint& s = p[i];
        const PatternPoint& t = p[(i + 1) % n];
        sum += s.x * t.y - t.x * s.y;
    }
    return sum;
}

GridBox boxOf(Corners p)
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

// The boxes' extents overlap by no more than tolerance along x or along y:
// the x and y directions are directions like any other to move apart in.
bool boxesApart(const GridBox& a, const GridBox& b, double tolerance)
{
    return std::min(a.maxX, b.maxX) - std::max(a.minX, b.minX) <= tolerance ||
           std::min(a.maxY, b.maxY) - std::max(a.minY, b.minY) <= tolerance;
}

// Convex: no corner turns against the sense of the whole, and the sides turn
// round once (the x and the y parts of the side directions each change sign
// at most twice on the way round).
bool isConvex(Corners p, double sense)
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
        if (sense * turn(a, b, c) < 0.0) return false;
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
void triangulate(Corners p, double sense, std::vector<PatternPoint>& out)
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
            if (!(sense * turn(a, b, c) > 0.0)) continue;
            bool clean = true;
            for (std::size_t j = 0; j < m && clean; ++j) {
                if (j == k || j == (k + 1) % m || j == (k + m - 1) % m) continue;
                const PatternPoint& v = corner(j);
                // A corner repeated at an ear's corner does not spoil it.
                if ((v.x == a.x && v.y == a.y) || (v.x == b.x && v.y == b.y) ||
                    (v.x == c.x && v.y == c.y))
                    continue;
                if (sense * turn(a, b, v) >= 0.0 && sense * turn(b, c, v) >= 0.0 &&
                    sense * turn(c, a, v) >= 0.0)
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
                const double t = std::abs(turn(corner(k + m - 1), corner(k), corner(k + 1)));
                if (ear == m || t < least) {
                    least = t;
                    ear = k;
                }
            }
        }
        const PatternPoint& a = corner(ear + m - 1);
        const PatternPoint& b = corner(ear);
        const PatternPoint& c = corner(ear + 1);
        if (sense * turn(a, b, c) > 0.0) out.insert(out.end(), {a, b, c});
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(ear));
    }
    if (sense * turn(corner(0), corner(1), corner(2)) > 0.0)
        out.insert(out.end(), {corner(0), corner(1), corner(2)});
}

// Some side of a gives a direction in which the extents of a and b overlap
// by no more than tolerance.
bool separatedAlongSidesOf(Corners a, Corners b, double tolerance)
{
    const std::size_t n = a.size();
    for (std::size_t i = 0; i < n; ++i) {
        const PatternPoint& s = a[i];
        const PatternPoint& t = a[(i + 1) % n];
        const double dx = t.x - s.x, dy = t.y - s.y;
        const double len = std::hypot(dx, dy);
        if (!(len > 0.0)) continue;
        const double nx = -dy / len, ny = dx / len;
        double minA = nx * a[0].x + ny * a[0].y, maxA = minA;
        for (const PatternPoint& q : a) {
            const double d = nx * q.x + ny * q.y;
            minA = std::min(minA, d);
            maxA = std::max(maxA, d);
        }
        double minB = nx * b[0].x + ny * b[0].y, maxB = minB;
        for (const PatternPoint& q : b) {
            const double d = nx * q.x + ny * q.y;
            minB = std::min(minB, d);
            maxB = std::max(maxB, d);
        }
        if (std::min(maxA, maxB) - std::max(minA, minB) <= tolerance) return true;
    }
    return false;
}

// A convex piece no wider than tolerance cannot overlap anything deeper.
// Its width is at most twice its area over its longest side.
bool thinner(Corners p, double tolerance)
{
    double longest = 0.0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const PatternPoint& s = p[i];
        const PatternPoint& t = p[(i + 1) % n];
        longest = std::max(longest, std::hypot(t.x - s.x, t.y - s.y));
    }
    return !(std::abs(twiceSignedArea(p)) > tolerance * longest);
}

// Two convex pieces: separating-axis test with the tolerance. Every
// direction bounds the depth from above, and for convex pieces the least
// depth is found among the directions square to their sides.
bool convexPiecesOverlap(Corners a, Corners b, double tolerance)
{
    if (thinner(a, tolerance) || thinner(b, tolerance)) return false;
    return !separatedAlongSidesOf(a, b, tolerance) && !separatedAlongSidesOf(b, a, tolerance);
}

bool finiteCorners(Corners p)
{
    for (const PatternPoint& q : p)
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return false;
    return true;
}

} // namespace

double overlapTolerance(std::span<const PatternPoint> corners)
{
    double magnitude = 1.0;
    for (const PatternPoint& q : corners) magnitude = std::max({magnitude, std::abs(q.x), std::abs(q.y)});
    return kOverlapTolerance * magnitude;
}

bool facesOverlap(std::span<const PatternPoint> a, std::span<const PatternPoint> b, double tolerance)
{
    if (a.size() < 3 || b.size() < 3 || !finiteCorners(a) || !finiteCorners(b)) return false;
    if (boxesApart(boxOf(a), boxOf(b), tolerance)) return false;
    const double areaA = twiceSignedArea(a), areaB = twiceSignedArea(b);
    if (areaA == 0.0 || areaB == 0.0) return false;
    const double senseA = areaA > 0.0 ? 1.0 : -1.0, senseB = areaB > 0.0 ? 1.0 : -1.0;
    const bool convexA = isConvex(a, senseA), convexB = isConvex(b, senseB);
    if (convexA && convexB) return convexPiecesOverlap(a, b, tolerance);

    std::vector<PatternPoint> trianglesA, trianglesB;
    if (!convexA) triangulate(a, senseA, trianglesA);
    if (!convexB) triangulate(b, senseB, trianglesB);
    auto pieceCount = [](bool convex, const std::vector<PatternPoint>& triangles) {
        return convex ? std::size_t{1} : triangles.size() / 3;
    };
    auto piece = [](Corners whole, bool convex, const std::vector<PatternPoint>& triangles,
                    std::size_t i) {
        return convex ? whole : Corners(triangles.data() + 3 * i, 3);
    };
    const std::size_t countA = pieceCount(convexA, trianglesA);
    const std::size_t countB = pieceCount(convexB, trianglesB);
    for (std::size_t i = 0; i < countA; ++i) {
        const Corners pa = piece(a, convexA, trianglesA, i);
        const GridBox boxA = boxOf(pa);
        for (std::size_t j = 0; j < countB; ++j) {
            const Corners pb = piece(b, convexB, trianglesB, j);
            if (boxesApart(boxA, boxOf(pb), tolerance)) continue;
            if (convexPiecesOverlap(pa, pb, tolerance)) return true;
        }
    }
    return false;
}

} // namespace nettor
