#include "unfold/crosses_part_outline.h"

#include "model/mesh.h"
#include "unfold/part_outline.h"
#include "unfold/segments_cross.h"

#include <algorithm>

namespace nettor {

bool crossesPartOutline(const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    // Segments whose boxes lie apart cannot cross; the margin keeps that
    // shortcut from ever deciding a case the full test would call close.
    constexpr double kMargin = 1e-9;
    const double minX = std::min(p.x, q.x) - kMargin, maxX = std::max(p.x, q.x) + kMargin;
    const double minY = std::min(p.y, q.y) - kMargin, maxY = std::max(p.y, q.y) + kMargin;
    for (const PartOutline::Segment& seg : outline.segments) {
        const PatternPoint& s = seg.from;
        const PatternPoint& t = seg.to;
        if ((s.x < minX && t.x < minX) || (s.x > maxX && t.x > maxX) || (s.y < minY && t.y < minY) ||
            (s.y > maxY && t.y > maxY))
            continue;
        if (seg.face == exceptFace) continue;
        if (segmentsCross(p, q, s, t, 0.001)) return true;
    }
    return false;
}

bool crossesPartOutline(const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    return crossesPartOutline(collectOutline(part), exceptFace, p, q);
}

} // namespace nettor
