#include "unfold/can_attach.h"

#include "model/mesh.h"
#include "unfold/crosses_part_outline.h"
#include "unfold/face_normal.h"
#include "unfold/overlaps_part.h"
#include "unfold/part_outline.h"
#include "unfold/place_fan_corner.h"

#include <vector>

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
    // The new face's corners in loop order from n's start, kept from call
    // to call.
    thread_local std::vector<PatternPoint> corners;
    corners.assign({a, p});
    for (const HalfEdge* h = n->next->next; h != n; h = h->next) {
        const PatternPoint q =
            placeFanCorner(a, p, k, h->prev->origin->position, h->origin->position, normal);
        if (crossesPartOutline(outline, &face, a, q)) return false;
        if (crossesPartOutline(outline, &face, p, q)) return false;
        corners.push_back(q);
        p = q;
    }
    // No side crosses the outline; the face may still lie on top of placed
    // faces, the one across the edge included, or overlap them around a
    // corner they share.
    return !overlapsPart(outline, corners);
}

bool canAttach(const UnfoldedPart& part, const Face& face, const Edge& edge)
{
    return canAttach(collectOutline(part), face, edge);
}

} // namespace nettor
