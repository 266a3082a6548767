#include "unfold/crosses_part_outline.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/part_outline.h"
#include "unfold/segments_cross.h"

#include <algorithm>
#include <cmath>

namespace nettor {

bool crossesPartOutline(const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    // With the check off no segment crosses; nothing to look at.
    if (appState().overlapCheck.load() == 0) return false;

    // Segments whose boxes lie apart cannot cross; the margin keeps that
    // shortcut from ever deciding a case the full test would call close.
    constexpr double kMargin = 1e-9;
    const double minX = std::min(p.x, q.x) - kMargin, maxX = std::max(p.x, q.x) + kMargin;
    const double minY = std::min(p.y, q.y) - kMargin, maxY = std::max(p.y, q.y) + kMargin;
    auto crosses = [&](const PartOutline::Segment& seg) {
        const PatternPoint& s = seg.from;
        const PatternPoint& t = seg.to;
        if ((s.x < minX && t.x < minX) || (s.x > maxX && t.x > maxX) || (s.y < minY && t.y < minY) ||
            (s.y > maxY && t.y > maxY))
            return false;
        if (seg.face == exceptFace) return false;
        return segmentsCross(p, q, s, t, 0.001);
    };

    // The grid yields every segment whose box can meet the query box; the
    // rest would be passed over by the box test above anyway.
    const OutlineGrid::Box query{minX, minY, maxX, maxY};
    if (outline.grid.usable() && std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) &&
        std::isfinite(maxY))
        return outline.grid.anyNear(query, [&](std::size_t i) { return crosses(outline.segments[i]); });

    for (const PartOutline::Segment& seg : outline.segments)
        if (crosses(seg)) return true;
    return false;
}

bool crossesPartOutline(const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    return crossesPartOutline(collectOutline(part), exceptFace, p, q);
}

} // namespace nettor
