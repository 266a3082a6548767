#include "unfold/part_outline.h"

#include "model/mesh.h"

#include <algorithm>

namespace nettor {

void collectOutline(const UnfoldedPart& part, PartOutline& into)
{
    into.segments.clear();
    into.boxes.clear();
    for (const Face* f : part.faces) {
        if (!f->unfolded) continue;
        for (const HalfEdge* a : f->outerLoop.halfEdges) {
            if (a->foldPartner || !a->point || !a->next->point) continue;
            const PatternPoint& s = *a->point;
            const PatternPoint& t = *a->next->point;
            into.segments.push_back({f, s, t});
            into.boxes.push_back({std::min(s.x, t.x), std::min(s.y, t.y), std::max(s.x, t.x),
                                  std::max(s.y, t.y)});
        }
    }
    into.grid.build(into.boxes);
}

PartOutline collectOutline(const UnfoldedPart& part)
{
    PartOutline outline;
    collectOutline(part, outline);
    return outline;
}

} // namespace nettor
