#include "unfold/separate_corners.h"

#include "model/mesh.h"

#include <cmath>
#include <unordered_map>

namespace nettor {

void separateCorners(Model& model)
{
    // One walk over the half-edges collects each copy's direction sum, in
    // the same order of additions as a walk per copy would.
    std::unordered_map<const CornerCopy*, Vec3> sums;
    sums.reserve(model.cornerPool.size());
    for (auto& object : model.objects) {
        for (Face* face : object->faces) {
            for (HalfEdge* e : face->outerLoop.halfEdges) {
                if (!e->cornerCopy) continue;
                const Vec3& o = e->origin->position;
                Vec3& sum = sums[e->cornerCopy];
                sum = sum + ((e->next->origin->position - o) + (e->prev->origin->position - o));
            }
        }
    }
    const double step = 0.1 * model.averageEdgeLength;
    for (auto& copy : model.cornerPool) {
        auto it = sums.find(copy.get());
        if (it == sums.end()) continue;
        const double len = length(it->second);
        if (!(len > 0.0) || !std::isfinite(len)) continue;
        const Vec3 move = it->second / len * step;
        copy->x += move.x;
        copy->y += move.y;
        copy->z += move.z;
    }
}

} // namespace nettor
