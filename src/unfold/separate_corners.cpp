#include "unfold/separate_corners.h"

#include "model/mesh.h"

#include <cmath>
#include <vector>

namespace nettor {

void separateCorners(Model& model)
{
    // One walk over the half-edges collects each copy's direction sum, in
    // the same order of additions as a walk per copy would.
    const RecordPool<CornerCopy>& pool = model.cornerPool;
    std::vector<Vec3> sums(pool.slotCount());
    for (auto& object : model.objects) {
        for (Face* face : object->faces) {
            for (HalfEdge* e : face->outerLoop.halfEdges) {
                const std::size_t slot = pool.slotOf(e->cornerCopy);
                if (slot == RecordPool<CornerCopy>::kNone) continue;
                const Vec3& o = e->origin->position;
                sums[slot] = sums[slot] + ((e->next->origin->position - o) + (e->prev->origin->position - o));
            }
        }
    }
    const double step = 0.1 * model.averageEdgeLength;
    for (CornerCopy* copy : pool) {
        // A copy no side names keeps its zero sum and stays.
        const std::size_t slot = pool.slotOf(copy);
        const double len = length(sums[slot]);
        if (!(len > 0.0) || !std::isfinite(len)) continue;
        const Vec3 move = sums[slot] / len * step;
        copy->x += move.x;
        copy->y += move.y;
        copy->z += move.z;
    }
}

} // namespace nettor
