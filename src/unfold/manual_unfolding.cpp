#include "unfold/manual_unfolding.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/attach_face.h"
#include "unfold/start_part.h"
#include "unfold/update_candidates.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace nettor {

namespace {

// The unfolding can still be changed by hand.
Model* modelBeingUnfolded(const EngineState& engine, Model* model)
{
    return model && !engine.status.finished ? model : nullptr;
}

bool opensOnUndo(EdgeState state)
{
    return state == EdgeState::Cut || state == EdgeState::Blocked || state == EdgeState::Candidate;
}

} // namespace

bool isClick(int pressX, int pressY, int releaseX, int releaseY)
{
    // In double: squares of int differences exceed 64 bits.
    const double dx = static_cast<double>(pressX) - releaseX;
    const double dy = static_cast<double>(pressY) - releaseY;
    return dx * dx + dy * dy <= static_cast<double>(kClickSquaredDistance);
}

void onModelClick(EngineState& engine, Model* model, std::int32_t pickMode, int pressX, int pressY, int x,
                  int y, const ModelPicker& picker)
{
    if (!modelBeingUnfolded(engine, model)) return;
    if (!isClick(pressX, pressY, x, y)) return;
    switch (pickMode) {
    case FirstFaceMode:
        firstFacePick(engine, model, picker.pickFace ? picker.pickFace(x, y) : nullptr);
        break;
    case ConnectEdgeMode:
        connectEdgePick(engine, model, picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    case CutEdgeMode:
        cutEdgePick(engine, model, picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    default:
        break;
    }
}

void firstFacePick(EngineState& engine, Model* model, Face* face)
{
    if (!modelBeingUnfolded(engine, model)) return;
    UnfoldStatus& status = engine.status;
    if (face) {
        if (face->unfolded) {
            engine.message("Specified face is already unfolded.");
        } else {
            startPart(engine, *face);
            engine.invalidateModelView();
        }
    }
    status.undoAvailable = false;
}

void connectEdgePick(EngineState& engine, Model* model, Edge* edge)
{
    if (!modelBeingUnfolded(engine, model)) return;
    if (!edge || edge->state != EdgeState::Candidate) return;
    UnfoldStatus& status = engine.status;
    attachFace(engine, *edge);
    engine.invalidateModelView();
    status.undoAvailable = !status.finished;
}

void cutEdgePick(EngineState& engine, Model* current, Edge* edge)
{
    Model* model = modelBeingUnfolded(engine, current);
    if (!model) return;
    if (edge) {
        const bool wasCandidate = edge->state == EdgeState::Candidate;
        switch (edge->state) {
        case EdgeState::Untouched:
        case EdgeState::Candidate:
            edge->state = EdgeState::MarkedCut;
            break;
        case EdgeState::MarkedCut: {
            const bool side1 = edge->halfEdge1 && edge->halfEdge1->loop->face->unfolded;
            const bool side2 = edge->halfEdge2 && edge->halfEdge2->loop->face->unfolded;
            if (!side1 && !side2) edge->state = EdgeState::Untouched;
            break;
        }
        default:
            break;
        }
        // The marked edge must not stay the part's best candidate.
        if (wasCandidate && model->currentPart) updateCandidates(engine, *model->currentPart, false);
        engine.invalidateModelView();
    }
    engine.status.undoAvailable = false;
}

void closeCurrentPart(EngineState& engine, Model* current)
{
    Model* model = modelBeingUnfolded(engine, current);
    if (!model || !model->currentPart) return;
    updateCandidates(engine, *model->currentPart, true);
    engine.invalidateModelView();
}

void reevaluateCurrentPart(EngineState& engine, Model* current)
{
    // A finished unfolding has no candidates left; its edge states and cut
    // numbers stay as completion left them.
    Model* model = modelBeingUnfolded(engine, current);
    if (!model || !model->currentPart) return;
    updateCandidates(engine, *model->currentPart, false);
}

void undoLastAttach(EngineState& engine, Model* current)
{
    Model* model = modelBeingUnfolded(engine, current);
    UnfoldStatus& status = engine.status;
    // Only right after a Connect Edge step: once another face has been
    // placed, the last face's records are no longer the newest ones.
    if (!model || !status.undoAvailable || !model->lastFace || !model->lastEdge) return;
    Face& face = *model->lastFace;
    Edge& joined = *model->lastEdge;
    UnfoldedPart* part = face.part;
    HalfEdge* shared = nullptr; // the face's half-edge on the joined edge
    for (HalfEdge* h : face.outerLoop.halfEdges)
        if (h->edge == &joined) shared = h;
    if (!part || !face.unfolded || !shared || part->faces.empty() || part->faces.back() != &face) {
        model->lastFace = nullptr;
        model->lastEdge = nullptr;
        status.undoAvailable = false;
        return;
    }

    face.unfolded = 0;
    for (HalfEdge* h : face.outerLoop.halfEdges) {
        if (h->edge && opensOnUndo(h->edge->state)) h->edge->state = EdgeState::Untouched;
        // The two corners on the joined edge are the parent's records; the
        // others were made for this face when it was attached.
        if (h != shared && h != shared->next) {
            model->cornerPool.release(h->cornerCopy);
            model->pointPool.release(h->point);
        }
        h->point = nullptr;
        h->cornerCopy = nullptr;
        if (h->foldPartner) {
            h->foldPartner->foldPartner = nullptr;
            h->foldPartner = nullptr;
        }
    }
    joined.state = EdgeState::Candidate;

    part->faces.pop_back();
    --part->faceCount;
    face.part = nullptr;
    --status.unfoldedFaceCount;
    updateCandidates(engine, *part, false);

    model->lastFace = nullptr;
    model->lastEdge = nullptr;
    status.undoAvailable = false;
    engine.notify(ViewChange::PartShrank);
    engine.notify(ViewChange::PartGrew);
}

} // namespace nettor
