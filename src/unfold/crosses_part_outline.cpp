#include "unfold/crosses_part_outline.h"

#include "model/mesh.h"
#include "unfold/segments_cross.h"

namespace nettor {

bool crossesPartOutline(const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    for (const Face* f : part.faces) {
        if (f == exceptFace || !f->unfolded) continue;
        for (const HalfEdge* a : f->outerLoop.halfEdges) {
            if (a->foldPartner) continue;
            if (segmentsCross(p, q, *a->point, *a->next->point, 0.001)) return true;
        }
    }
    return false;
}

} // namespace nettor
