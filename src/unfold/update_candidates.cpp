#include "unfold/update_candidates.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/can_attach.h"
#include "unfold/candidate_priority.h"
#include "unfold/part_outline.h"

namespace nettor {

void updateCandidates(UnfoldedPart& part, bool closing)
{
    UnfoldStatus& status = appState().status;
    part.bestCandidate = nullptr;
    double bestPriority = 0.0;
    bool found = false;
    // Only states change during the walk; the outline stays as it is. Its
    // storage is kept from one evaluation to the next (one per thread, as
    // the worker thread unfolds too).
    // A closing evaluation tests nothing against it.
    thread_local PartOutline outline;
    if (!closing) collectOutline(part, outline);

    for (Face* face : part.faces) {
        for (HalfEdge* h : face->outerLoop.halfEdges) {
            Edge* e = h->edge;
            if (!e || !e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
            const HalfEdge* across = e->halfEdge1 == h ? e->halfEdge2 : e->halfEdge1;
            if (across->loop->face->unfolded) {
                e->state = h->foldPartner ? EdgeState::Fold : EdgeState::Cut;
            } else if (closing) {
                e->state = EdgeState::Blocked;
            } else if (canAttach(outline, *face, *e)) {
                e->state = EdgeState::Candidate;
                found = true;
                const double priority = candidatePriority(*e);
                if (priority > bestPriority) {
                    bestPriority = priority;
                    part.bestCandidate = e;
                }
            } else {
                e->state = EdgeState::Blocked;
            }
        }
    }

    if (!status.busy) invalidateModelView();
    if (!found && !closing && status.unfoldedFaceCount != status.totalFaceCount && !status.busy)
        showMessage("Push [Start Face] button and specify the first face.");
}

} // namespace nettor
