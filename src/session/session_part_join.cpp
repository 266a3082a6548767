// The finished pattern between the two views: the parts of the unfolding
// joined across the model's own cuts, the edge the pointer rests on in the
// 3D view lit on the pages, and a face clicked there selecting its piece.
#include "session/session.h"

#include "pattern/pages_flap_edit.h"
#include "pattern/pages_part_join.h"
#include "unfold/manual_unfolding.h"
#include "unfold/part_join.h"
#include "unfold/unfolding_capture.h"

namespace nettor {

bool Session::joinPartsAt(const HalfEdge* side)
{
    if (!pagesShown() || !side || !side->twin || !side->edge || !isModelCut(side->edge->state)) return false;
    // The layout names the model's records read-only; the session owns the
    // model and may change them.
    HalfEdge& clicked = const_cast<HalfEdge&>(*side);
    UnfoldedPart* kept = clicked.loop->face->part;
    UnfoldedPart* other = clicked.twin->loop->face->part;
    if (!kept || !other || kept == other) return false;

    LayoutSnapshot before = layoutSnapshot();
    std::vector<Face*> faces = kept->faces;
    faces.insert(faces.end(), other->faces.begin(), other->faces.end());
    before.unfolding = captureUnfolding(*model, faces);
    const int removedPiece = pieceOfSide(*pagesLayout, *clicked.twin);
    const int keptPiece = pieceOfSide(*pagesLayout, clicked);

    PartJoin join = joinPartsAcrossCut(*model, clicked, overlapCheck != 0);
    if (join.result == PartJoinResult::Overlap) {
        message(kJoinOverlapMessage);
        return false;
    }
    if (join.result != PartJoinResult::Joined) return false;
    status.partCount = static_cast<std::int32_t>(model->parts.size());
    retiredParts_.push_back(std::move(join.removed));
    joinLaidOutParts(*pagesLayout, clicked, join.keptPart, join.removedPart, join.motion.degrees, join.motion.shift);
    if (removedPiece >= 0 && keptPiece >= 0 && removedPiece != keptPiece) {
        if (selectedPiece == removedPiece) selectedPiece = keptPiece;
        if (selectedPiece > removedPiece) --selectedPiece;
    }
    if (litEdge == clicked.edge) litEdge = nullptr;
    unsavedChanges_ = true;
    layoutHistory_.record(std::move(before));
    notify(ViewChange::CountsChanged);
    invalidateModelView();
    layoutChangeDone();
    return true;
}

void Session::pointAtModelSide(const HalfEdge* side)
{
    // Only an edge with a place on the pages is lit; pointing at nothing
    // puts out only a light the 3D view gave, not one from the pages.
    const bool placed = side && pagesShown() && pieceOfSide(*pagesLayout, *side) >= 0;
    if (!placed && !edgeLitFromModel_) return;
    lightEdge(placed ? side->edge : nullptr);
    edgeLitFromModel_ = placed;
}

void Session::finishedModelClick(Face* face, HalfEdge* side)
{
    if (!model || !status.finished || !pagesShown()) return;
    if (side && pickMode == ConnectEdgeMode && side->twin && !pagesLayout->joined(*side)) {
        joinPiecesAt(side);
        return;
    }
    if (side && pickMode == CutEdgeMode && pagesLayout->joined(*side)) {
        splitPieceAt(side);
        return;
    }
    if (!face || face->outerLoop.halfEdges.empty()) return;
    const int piece = pieceOfSide(*pagesLayout, *face->outerLoop.halfEdges.front());
    if (piece < 0) return;
    ++selectionToReveal;
    if (piece == selectedPiece) notify(ViewChange::LayoutSelectionChanged); // scrolled to again
    else selectPiece(piece);
}

std::vector<const Face*> Session::selectedFaces() const
{
    if (!pagesShown() || !validPiece(selectedPiece)) return {};
    return pagesLayout->pieces[static_cast<std::size_t>(selectedPiece)].faces;
}

} // namespace nettor
