#include "pattern/pages_geometry.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

double cross(MmPoint o, MmPoint a, MmPoint b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

int sign(double v) { return (v > 0.0) - (v < 0.0); }

// Proper crossing: each segment's ends lie strictly on either side of the
// other's line.
bool segmentsCrossProperly(MmPoint a, MmPoint b, MmPoint c, MmPoint d)
{
    const int d1 = sign(cross(c, d, a)), d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c)), d4 = sign(cross(a, b, d));
    return d1 * d2 < 0 && d3 * d4 < 0;
}

bool strictlyInsideConvex(MmPoint p, const std::vector<MmPoint>& convex)
{
    int s = 0;
    for (std::size_t i = 0; i < convex.size(); ++i) {
        const int c = sign(cross(convex[i], convex[(i + 1) % convex.size()], p));
        if (c == 0) return false;
        if (s == 0) s = c;
        else if (c != s) return false;
    }
    return s != 0;
}

double pointSegmentDistance(MmPoint p, MmPoint a, MmPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double ll = dx * dx + dy * dy;
    double t = ll > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / ll : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

Turn::Turn(double degrees)
{
    if (degrees == 0.0) return;
    const double r = degrees * kPagesPi / 180.0;
    c = std::cos(r);
    s = std::sin(r);
    // Exact quarter turns.
    if (std::fmod(degrees, 90.0) == 0.0) {
        c = std::round(c);
        s = std::round(s);
    }
}

MmPoint turned(MmPoint p, double degrees)
{
    if (degrees == 0.0) return p;
    // Pieces are turned point by point: the last turn's sine and cosine
    // are kept.
    thread_local double lastDegrees = 0.0;
    thread_local Turn last(0.0);
    if (degrees != lastDegrees) {
        last = Turn(degrees);
        lastDegrees = degrees;
    }
    return last(p);
}

std::vector<MmPoint> convexHull(std::vector<MmPoint> points)
{
    // Points strictly inside the quadrilateral of the extreme points are
    // on no hull: they go before the sort.
    if (points.size() > 16) {
        MmPoint left = points[0], right = points[0], low = points[0], high = points[0];
        for (const MmPoint& p : points) {
            if (p.x < left.x) left = p;
            if (p.x > right.x) right = p;
            if (p.y < low.y) low = p;
            if (p.y > high.y) high = p;
        }
        const MmPoint quad[4] = {left, low, right, high};
        auto inside = [&](MmPoint p) {
            for (int i = 0; i < 4; ++i)
                if (!(cross(quad[i], quad[(i + 1) % 4], p) > 0.0)) return false;
            return true;
        };
        points.erase(std::remove_if(points.begin(), points.end(), inside), points.end());
    }
    std::sort(points.begin(), points.end(),
              [](MmPoint a, MmPoint b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3) return points;
    std::vector<MmPoint> hull(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0) --k;
        hull[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

double smallestBoxTurn(const std::vector<MmPoint>& hull)
{
    if (hull.size() < 2) return 0.0;
    double bestArea = 0.0, bestTurn = 0.0;
    bool first = true;
    auto consider = [&](double turn) {
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        const Turn by(turn);
        for (const MmPoint& p : hull) {
            const MmPoint q = by(p);
            x0 = std::min(x0, q.x);
            x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y);
            y1 = std::max(y1, q.y);
        }
        const double area = (x1 - x0) * (y1 - y0);
        // A relative tolerance keeps the choice stable against rounding.
        const bool smaller = area < bestArea * (1.0 - 1e-9);
        const bool equal = !smaller && area <= bestArea * (1.0 + 1e-9);
        if (first || smaller || (equal && turn < bestTurn)) {
            bestArea = first || smaller ? area : std::min(bestArea, area);
            bestTurn = turn;
            first = false;
        }
    };
    consider(0.0);
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const MmPoint a = hull[i], b = hull[(i + 1) % hull.size()];
        // Turning by minus the edge's angle lays the edge along the x axis.
        double turn = -std::atan2(b.y - a.y, b.x - a.x) * 180.0 / kPagesPi;
        turn = std::fmod(turn, 90.0);
        if (turn < 0.0) turn += 90.0;
        if (turn >= 90.0 - 1e-9) turn = 0.0;
        consider(turn);
    }
    return bestTurn;
}

double doubleArea(const std::vector<MmPoint>& polygon)
{
    double a = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const MmPoint p = polygon[i], q = polygon[(i + 1) % polygon.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a;
}

bool insidePolygon(MmPoint p, const std::vector<MmPoint>& polygon)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const MmPoint a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

bool convexOverlapsPolygon(const std::vector<MmPoint>& convex, const std::vector<MmPoint>& polygon)
{
    if (convex.size() < 3 || polygon.size() < 3) return false;
    for (std::size_t i = 0; i < convex.size(); ++i)
        for (std::size_t j = 0; j < polygon.size(); ++j)
            if (segmentsCrossProperly(convex[i], convex[(i + 1) % convex.size()], polygon[j],
                                      polygon[(j + 1) % polygon.size()]))
                return true;
    for (const MmPoint& p : polygon)
        if (strictlyInsideConvex(p, convex)) return true;
    for (const MmPoint& p : convex)
        if (insidePolygon(p, polygon)) return true;
    // Equal polygons cross nowhere and hold none of each other's corners
    // strictly: their centres tell.
    MmPoint c{0, 0};
    for (const MmPoint& p : convex) c = {c.x + p.x / convex.size(), c.y + p.y / convex.size()};
    return insidePolygon(c, polygon);
}

double segmentDistance(MmPoint a, MmPoint b, MmPoint c, MmPoint d)
{
    if (segmentsCrossProperly(a, b, c, d)) return 0.0;
    return std::min({pointSegmentDistance(a, c, d), pointSegmentDistance(b, c, d),
                     pointSegmentDistance(c, a, b), pointSegmentDistance(d, a, b)});
}

} // namespace nettor
