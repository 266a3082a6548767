#include "unfold/candidate_priority.h"

#include "model/mesh.h"
#include "state/app_state.h"

namespace nettor {

double candidatePriority(const Edge& edge, std::int32_t strategy)
{
    switch (strategy) {
    case 0: return edge.foldAngle;
    case 2: return edge.length * (edge.foldAngle * 0.1 + 1.0);
    default: return edge.length;
    }
}

double candidatePriority(const Edge& edge)
{
    return candidatePriority(edge, appState().settings.unfoldStrategy);
}

} // namespace nettor
