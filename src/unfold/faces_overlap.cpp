#include "unfold/overlap.h"

#include "unfold/box_grid.h"
#include "unfold/polygon_pieces.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace nettor {

namespace {

using Corners = std::span<const PatternPoint>;

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
    if (boxesApart(boxOfCorners(a), boxOfCorners(b), tolerance)) return false;
    const double areaA = twiceSignedArea(a), areaB = twiceSignedArea(b);
    if (areaA == 0.0 || areaB == 0.0) return false;
    const double senseA = areaA > 0.0 ? 1.0 : -1.0, senseB = areaB > 0.0 ? 1.0 : -1.0;
    const bool convexA = isConvexPolygon(a, senseA), convexB = isConvexPolygon(b, senseB);
    if (convexA && convexB) return convexPiecesOverlap(a, b, tolerance);

    std::vector<PatternPoint> trianglesA, trianglesB;
    if (!convexA) triangulatePolygon(a, senseA, trianglesA);
    if (!convexB) triangulatePolygon(b, senseB, trianglesB);
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
        const GridBox boxA = boxOfCorners(pa);
        for (std::size_t j = 0; j < countB; ++j) {
            const Corners pb = piece(b, convexB, trianglesB, j);
            if (boxesApart(boxA, boxOfCorners(pb), tolerance)) continue;
            if (convexPiecesOverlap(pa, pb, tolerance)) return true;
        }
    }
    return false;
}

} // namespace nettor
