#include "support/polygon_overlap.h"

// The library's own code trips a false uninitialised-use warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace nettor::test {

namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point>;
using MultiPolygon = bg::model::multi_polygon<Polygon>;

Polygon toPolygon(const std::vector<PatternPoint>& corners)
{
    Polygon p;
    for (const PatternPoint& c : corners) bg::append(p.outer(), Point(c.x, c.y));
    bg::correct(p); // closes the ring and turns it the way the library wants
    return p;
}

} // namespace

double polygonArea(const std::vector<PatternPoint>& corners)
{
    return std::abs(bg::area(toPolygon(corners)));
}

double intersectionArea(const std::vector<PatternPoint>& a, const std::vector<PatternPoint>& b)
{
    try {
        MultiPolygon out;
        bg::intersection(toPolygon(a), toPolygon(b), out);
        return bg::area(out);
    } catch (const std::exception&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

std::string FacePairOverlap::describe() const
{
    std::ostringstream out;
    out << "faces " << a->index << " and " << b->index << " overlap by " << area << " ("
        << area / smallerArea << " of the smaller face)";
    return out.str();
}

std::vector<PatternPoint> patternCorners(const Face& face)
{
    std::vector<PatternPoint> corners;
    for (const HalfEdge* h : face.outerLoop.halfEdges) corners.push_back(*h->point);
    return corners;
}

std::vector<FacePairOverlap> overlappingFacePairs(const Model& model, double ratio)
{
    std::vector<FacePairOverlap> found;
    for (const auto& part : model.parts) {
        struct Entry {
            const Face* face;
            std::vector<PatternPoint> corners;
            double minX, maxX, minY, maxY, area;
        };
        std::vector<Entry> entries;
        for (const Face* f : part->faces) {
            Entry e{f, patternCorners(*f), 0, 0, 0, 0, 0};
            auto [mnx, mxx] = std::minmax_element(e.corners.begin(), e.corners.end(),
                                                  [](auto& p, auto& q) { return p.x < q.x; });
            auto [mny, mxy] = std::minmax_element(e.corners.begin(), e.corners.end(),
                                                  [](auto& p, auto& q) { return p.y < q.y; });
            e.minX = mnx->x;
            e.maxX = mxx->x;
            e.minY = mny->y;
            e.maxY = mxy->y;
            e.area = polygonArea(e.corners);
            entries.push_back(std::move(e));
        }
        // Sweep along x: only faces whose x ranges meet can overlap.
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& p, const Entry& q) { return p.minX < q.minX; });
        for (std::size_t i = 0; i < entries.size(); ++i)
            for (std::size_t j = i + 1; j < entries.size() && entries[j].minX < entries[i].maxX; ++j) {
                const Entry& p = entries[i];
                const Entry& q = entries[j];
                if (q.minY >= p.maxY || p.minY >= q.maxY) continue;
                const double area = intersectionArea(p.corners, q.corners);
                const double smaller = std::min(p.area, q.area);
                if (!(area <= ratio * smaller)) found.push_back({p.face, q.face, area, smaller});
            }
    }
    return found;
}

} // namespace nettor::test
