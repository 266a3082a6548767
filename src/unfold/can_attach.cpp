#include "unfold/can_attach.h"

#include "model/mesh.h"
#include "unfold/crosses_part_outline.h"
#include "unfold/face_normal.h"
#include "unfold/part_outline.h"
#include "unfold/place_fan_corner.h"

namespace nettor {

bool canAttach(const PartOutline& outline, const Face& face, const Edge& edge)
{
    if (!edge.halfEdge1 || !edge.halfEdge2) return false;
    const HalfEdge* n = edge.halfEdge1->loop->face == &face ? edge.halfEdge2 : edge.halfEdge1;
    const HalfEdge* t = n == edge.halfEdge1 ? edge.halfEdge2 : edge.halfEdge1;
    if (n->loop->face == &face || !t->point || !t->next->point) return false;

    const Vec3 normal = outwardNormal(*n->loop->face);
    const Vec3& k = n->origin->position;
    const PatternPoint a = *t->next->point;
    PatternPoint p = *t->point;
    for (const HalfEdge* h = n->next->next; h != n; h = h->next) {
        const PatternPoint q =
            placeFanCorner(a, p, k, h->prev->origin->position, h->origin->position, normal);
        if (crossesPartOutline(outline, &face, a, q)) return false;
        if (crossesPartOutline(outline, &face, p, q)) return false;
        p = q;
    }
    return true;
}

bool canAttach(const UnfoldedPart& part, const Face& face, const Edge& edge)
{
    return canAttach(collectOutline(part), face, edge);
}

} // namespace nettor
