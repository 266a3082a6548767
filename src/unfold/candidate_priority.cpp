#include "unfold/update_candidates.h"

#include "model/mesh.h"

namespace nettor {

double candidatePriority(const Edge& edge, std::int32_t strategy)
{
    switch (strategy) {
    case 0: return edge.foldAngle;
    case 2: return edge.length * (edge.foldAngle * 0.1 + 1.0);
    default: return edge.length;
    }
}

} // namespace nettor
