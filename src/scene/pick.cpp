#include "scene/pick.h"

#include <cmath>
#include <limits>

namespace nettor {

namespace {

double crossAt(const Point2& p, const Point2& q, const Point2& k)
{
    return (q.x - p.x) * (k.y - p.y) - (q.y - p.y) * (k.x - p.x);
}

bool signTestContains(const std::vector<Point2>& c, const Point2& k)
{
    const std::size_t n = c.size();
    const bool firstNonNegative = crossAt(c[0], c[1 % n], k) >= 0.0;
    for (std::size_t i = 1; i < n; ++i)
        if ((crossAt(c[i], c[(i + 1) % n], k) >= 0.0) != firstNonNegative) return false;
    return true;
}

bool isConvex(const std::vector<Point2>& c)
{
    const std::size_t n = c.size();
    int sign = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double turn = crossAt(c[i], c[(i + 1) % n], c[(i + 2) % n]);
        const int s = turn > 0.0 ? 1 : (turn < 0.0 ? -1 : 0);
        if (s == 0) continue;
        if (sign == 0) sign = s;
        else if (s != sign) return false;
    }
    return true;
}

bool evenOddContains(const std::vector<Point2>& c, const Point2& k)
{
    bool inside = false;
    const std::size_t n = c.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        if ((c[i].y > k.y) != (c[j].y > k.y)) {
            const double x = c[j].x + (k.y - c[j].y) * (c[i].x - c[j].x) / (c[i].y - c[j].y);
            if (k.x < x) inside = !inside;
        }
    }
    return inside;
}

} // namespace

Point2 clickPoint(const ViewSnapshot& view, int x, int y)
{
    return {static_cast<double>(x), windowYOfRow(view, y)};
}

bool polygonContains(const std::vector<Point2>& corners, const Point2& k)
{
    if (corners.empty()) return false;
    if (signTestContains(corners, k)) return true;
    return corners.size() > 3 && !isConvex(corners) && evenOddContains(corners, k);
}

double distanceToSegment(const Point2& k, const Point2& a, const Point2& b)
{
    const double abx = b.x - a.x, aby = b.y - a.y;
    const double lengthSquared = abx * abx + aby * aby;
    const double t = lengthSquared > 0.0 ? ((k.x - a.x) * abx + (k.y - a.y) * aby) / lengthSquared : 0.0;
    double px = a.x, py = a.y;
    if (t > 1.0) {
        px = b.x;
        py = b.y;
    } else if (t > 0.0) {
        px = a.x + t * abx;
        py = a.y + t * aby;
    }
    return std::hypot(k.x - px, k.y - py);
}

bool faceHoldsClick(const Face& face, const ViewSnapshot& view, const Point2& k, std::vector<Point2>& corners,
                    double& depth)
{
    corners.clear();
    bool behind = false;
    for (const HalfEdge* h : face.outerLoop.halfEdges) {
        const WindowPoint p = projectPoint(view, h->origin->position);
        if (!(p.w > 0.0)) behind = true;
        corners.push_back({p.x, p.y});
    }
    if (behind || corners.size() < 3 || !polygonContains(corners, k)) return false;
    depth = projectPoint(view, face.centroid).depth;
    return true;
}

Face* pickFace(const Model& model, const ViewSnapshot& view, int x, int y)
{
    const Point2 k = clickPoint(view, x, y);
    Face* kept = nullptr;
    double keptDepth = 0.0;
    std::vector<Point2> corners;
    for (const auto& object : model.objects) {
        for (Face* face : object->faces) {
            double depth = 0.0;
            if (!faceHoldsClick(*face, view, k, corners, depth)) continue;
            if (!kept || depth < keptDepth) {
                kept = face;
                keptDepth = depth;
            }
        }
    }
    return kept;
}

Edge* nearestEdgeOfFace(const Face& face, const ViewSnapshot& view, const Point2& k)
{
    Edge* kept = nullptr;
    double keptDistance = std::numeric_limits<double>::infinity();
    for (const HalfEdge* h : face.outerLoop.halfEdges) {
        Edge* e = h->edge;
        if (!e || !e->vertex1 || !e->vertex2) continue;
        const WindowPoint a = projectPoint(view, e->vertex1->position);
        const WindowPoint b = projectPoint(view, e->vertex2->position);
        const double d = distanceToSegment(k, {a.x, a.y}, {b.x, b.y});
        if (d < keptDistance) {
            kept = e;
            keptDistance = d;
        }
    }
    return kept;
}

HalfEdge* sideOfFaceNear(const Face& face, const ViewSnapshot& view, int x, int y, double maxPixels)
{
    const Point2 k = clickPoint(view, x, y);
    HalfEdge* kept = nullptr;
    double keptDistance = maxPixels;
    for (HalfEdge* h : face.outerLoop.halfEdges) {
        if (!h->next) continue;
        const WindowPoint a = projectPoint(view, h->origin->position);
        const WindowPoint b = projectPoint(view, h->next->origin->position);
        const double d = distanceToSegment(k, {a.x, a.y}, {b.x, b.y});
        if (kept ? d < keptDistance : d <= keptDistance) {
            kept = h;
            keptDistance = d;
        }
    }
    return kept;
}

HalfEdge* pickSide(const Model& model, const ViewSnapshot& view, int x, int y, double maxPixels)
{
    const Face* face = pickFace(model, view, x, y);
    return face ? sideOfFaceNear(*face, view, x, y, maxPixels) : nullptr;
}

Edge* pickEdge(const Model& model, const ViewSnapshot& view, int x, int y)
{
    const Face* face = pickFace(model, view, x, y);
    return face ? nearestEdgeOfFace(*face, view, clickPoint(view, x, y)) : nullptr;
}

} // namespace nettor
