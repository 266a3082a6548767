#include "unfold/unfold_along_folds.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/attach_face.h"
#include "unfold/start_part.h"
#include "unfold/update_candidates.h"

#include <unordered_set>

namespace nettor {

void unfoldAlongFolds(EngineState& engine, Model& model, const std::vector<Edge*>& folds)
{
    UnfoldStatus& status = engine.status;
    const std::unordered_set<const Edge*> allowed(folds.begin(), folds.end());

    // Marking the other edges makes the placement of the automatic unfolding
    // follow the chosen trees exactly, in the order a reload of the saved
    // cut edges will follow them.
    std::vector<Edge*> marked;
    for (const auto& object : model.objects)
        for (Edge* e : object->edges) {
            if (!e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
            if (e->halfEdge1->loop->face->unfolded && e->halfEdge2->loop->face->unfolded) continue;
            if (allowed.count(e)) continue;
            e->state = EdgeState::MarkedCut;
            marked.push_back(e);
        }
    // The current part's best candidate may be one of them now.
    if (model.currentPart && status.unfoldedFaceCount != status.totalFaceCount)
        updateCandidates(engine, *model.currentPart, false);

    for (const auto& object : model.objects)
        for (std::size_t i = 0; i < object->faces.size(); ++i) {
            Face* face = object->faces[i];
            if (face->unfolded) continue;
            startPart(engine, *face);
            UnfoldedPart* part = face->part;
            while (part && part->bestCandidate) {
                const int before = status.unfoldedFaceCount;
                attachFace(engine, *part->bestCandidate);
                if (status.unfoldedFaceCount == before) break;
            }
        }

    for (Edge* e : marked) {
        const bool placed = e->halfEdge1->loop->face->unfolded && e->halfEdge2->loop->face->unfolded;
        e->state = placed ? EdgeState::Cut : EdgeState::Untouched;
    }
}

} // namespace nettor
