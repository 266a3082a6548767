#include "unfold/part_outline.h"

#include "model/mesh.h"

namespace nettor {

PartOutline collectOutline(const UnfoldedPart& part)
{
    PartOutline outline;
    for (const Face* f : part.faces) {
        if (!f->unfolded) continue;
        for (const HalfEdge* a : f->outerLoop.halfEdges) {
            if (a->foldPartner || !a->point || !a->next->point) continue;
            outline.segments.push_back({f, *a->point, *a->next->point});
        }
    }
    return outline;
}

} // namespace nettor
