#include "unfold/number_cut_edges.h"

#include "model/mesh.h"

namespace nettor {

void numberCutEdges(Model& model)
{
    std::int32_t counter = 1;
    for (auto& object : model.objects) {
        for (Face* face : object->faces) {
            for (HalfEdge* h : face->outerLoop.halfEdges) {
                Edge* e = h->edge;
                if (!e || e->edgeId != -1) continue;
                if (e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut) e->edgeId = counter++;
            }
        }
    }
}

} // namespace nettor
