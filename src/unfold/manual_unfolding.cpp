#include "unfold/manual_unfolding.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/attach_face.h"
#include "unfold/start_part.h"
#include "unfold/update_candidates.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace nettor {

namespace {

// The unfolding can still be changed by hand.
Model* modelBeingUnfolded()
{
    AppState& state = appState();
    if (!state.model || state.status.finished) return nullptr;
    return state.model.get();
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

void onModelClick(int pressX, int pressY, int x, int y, const ModelPicker& picker)
{
    if (!modelBeingUnfolded()) return;
    if (!isClick(pressX, pressY, x, y)) return;
    switch (appState().pickMode) {
    case FirstFaceMode:
        firstFacePick(picker.pickFace ? picker.pickFace(x, y) : nullptr);
        break;
    case ConnectEdgeMode:
        connectEdgePick(picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    case CutEdgeMode:
        cutEdgePick(picker.pickEdge ? picker.pickEdge(x, y) : nullptr);
        break;
    default:
        break;
    }
}

void firstFacePick(Face* face)
{
    if (!modelBeingUnfolded()) return;
    UnfoldStatus& status = appState().status;
    if (face) {
        if (face->unfolded) {
            showMessage("Specified face is already unfolded.");
        } else {
            startPart(*face);
            invalidateModelView();
        }
    }
    status.undoAvailable = false;
}

void connectEdgePick(Edge* edge)
{
    if (!modelBeingUnfolded()) return;
    if (!edge || edge->state != EdgeState::Candidate) return;
    UnfoldStatus& status = appState().status;
    attachFace(*edge);
    invalidateModelView();
    status.undoAvailable = !status.finished;
}

void cutEdgePick(Edge* edge)
{
    Model* model = modelBeingUnfolded();
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
        if (wasCandidate && model->currentPart) updateCandidates(*model->currentPart, false);
        invalidateModelView();
    }
    appState().status.undoAvailable = false;
}

void choosePickMode(std::int32_t mode)
{
    if (mode == FirstFaceMode) {
        chooseFirstFaceMode();
        return;
    }
    appState().pickMode = mode;
}

void chooseFirstFaceMode()
{
    appState().pickMode = FirstFaceMode;
    if (modelBeingUnfolded()) sendHint(4);
}

void closeCurrentPart()
{
    Model* model = modelBeingUnfolded();
    if (!model || !model->currentPart) return;
    updateCandidates(*model->currentPart, true);
    invalidateModelView();
}

void reevaluateCurrentPart()
{
    // A finished unfolding has no candidates left; its edge states and cut
    // numbers stay as completion left them.
    Model* model = modelBeingUnfolded();
    if (!model || !model->currentPart) return;
    updateCandidates(*model->currentPart, false);
}

void undoLastAttach()
{
    Model* model = modelBeingUnfolded();
    UnfoldStatus& status = appState().status;
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
    updateCandidates(*part, false);

    model->lastFace = nullptr;
    model->lastEdge = nullptr;
    status.undoAvailable = false;
    sendHint(18);
    sendHint(17);
}

} // namespace nettor
