#include "unfold/overlaps_part.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/faces_overlap.h"
#include "unfold/part_outline.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nettor {

bool overlapsPart(const PartOutline& outline, std::span<const PatternPoint> corners)
{
    if (appState().overlapCheck.load() == 0 || corners.size() < 3) return false;

    const double tolerance = overlapTolerance(corners);
    OutlineGrid::Box query{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const PatternPoint& q : corners) {
        query.minX = std::min(query.minX, q.x);
        query.minY = std::min(query.minY, q.y);
        query.maxX = std::max(query.maxX, q.x);
        query.maxY = std::max(query.maxY, q.y);
    }
    if (!std::isfinite(query.minX) || !std::isfinite(query.minY) || !std::isfinite(query.maxX) ||
        !std::isfinite(query.maxY))
        return false;

    // Storage for a placed face's corners, kept from call to call.
    thread_local std::vector<PatternPoint> placed;
    auto overlaps = [&](std::size_t i) {
        const OutlineGrid::Box& box = outline.faceBoxes[i];
        // Boxes that stay within the tolerance of each other hold faces that
        // do too.
        if (std::min(box.maxX, query.maxX) - std::max(box.minX, query.minX) <= tolerance ||
            std::min(box.maxY, query.maxY) - std::max(box.minY, query.minY) <= tolerance)
            return false;
        placed.clear();
        for (const HalfEdge* h : outline.faces[i]->outerLoop.halfEdges) placed.push_back(*h->point);
        return facesOverlap(corners, placed, tolerance);
    };

    if (outline.faceGrid.usable())
        return outline.faceGrid.anyNear(query, overlaps);
    for (std::size_t i = 0; i < outline.faces.size(); ++i)
        if (overlaps(i)) return true;
    return false;
}

} // namespace nettor
