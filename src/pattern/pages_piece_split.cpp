#include "pattern/pages_piece_split.h"

#include "pattern/pages_flap_edit.h"

#include <algorithm>
#include <unordered_set>

namespace nettor {

namespace {

int nextCutNumber(const PagesLayout& layout)
{
    int number = 0;
    for (const LaidOutPiece& piece : layout.pieces)
        for (const Face* f : piece.faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges)
                if (h && h->edge) number = std::max(number, h->edge->edgeId);
    for (const auto& [edge, n] : layout.splitNumbers) number = std::max(number, n);
    return number + 1;
}

} // namespace

const HalfEdge* foldSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm)
{
    return nearestSideAt(layout, page, onPage, toleranceMm, [&](const HalfEdge& h) { return layout.joined(h); });
}

bool splitPieceAtFold(PagesLayout& layout, const HalfEdge& side)
{
    if (!side.edge || !layout.joined(side)) return false;
    const int at = pieceOfSide(layout, side);
    if (at < 0 || pieceOfSide(layout, *side.foldPartner) != at) return false;
    LaidOutPiece& piece = layout.pieces[static_cast<std::size_t>(at)];
    const std::unordered_set<const Face*> inPiece(piece.faces.begin(), piece.faces.end());

    // The faces reached without crossing the fold, nor any cut.
    std::unordered_set<const Face*> reached{side.loop->face};
    std::vector<const Face*> stack{side.loop->face};
    while (!stack.empty()) {
        const Face* f = stack.back();
        stack.pop_back();
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            if (!h || h->edge == side.edge || !layout.joined(*h)) continue;
            const Face* next = h->foldPartner->loop->face;
            if (inPiece.count(next) && reached.insert(next).second) stack.push_back(next);
        }
    }
    if (reached.size() == piece.faces.size()) return false;

    LaidOutPiece split = piece;
    split.faces.clear();
    split.flaps.clear();
    split.movedByUser = false;
    std::vector<const Face*> kept;
    for (const Face* f : piece.faces) (reached.count(f) ? kept : split.faces).push_back(f);
    std::vector<LayoutFlap> keptFlaps;
    for (const LayoutFlap& flap : piece.flaps)
        (reached.count(flap.side->loop->face) ? keptFlaps : split.flaps).push_back(flap);
    piece.faces = std::move(kept);
    piece.flaps = std::move(keptFlaps);
    layout.splitNumbers[side.edge] = nextCutNumber(layout);
    layout.pieces.push_back(std::move(split));
    showLayoutFlap(layout, side);
    return true;
}

bool joinPiecesAtCut(PagesLayout& layout, const HalfEdge& side)
{
    if (!side.edge || !side.twin || !layout.splitNumbers.count(side.edge)) return false;
    const int keep = pieceOfSide(layout, side), other = pieceOfSide(layout, *side.twin);
    if (keep < 0 || other < 0) return false;
    hideLayoutFlap(layout, side);
    layout.splitNumbers.erase(side.edge);
    if (keep != other) {
        LaidOutPiece& into = layout.pieces[static_cast<std::size_t>(keep)];
        LaidOutPiece& from = layout.pieces[static_cast<std::size_t>(other)];
        into.faces.insert(into.faces.end(), from.faces.begin(), from.faces.end());
        into.flaps.insert(into.flaps.end(), from.flaps.begin(), from.flaps.end());
        layout.pieces.erase(layout.pieces.begin() + other);
    }
    int last = 1;
    for (const LaidOutPiece& p : layout.pieces) last = std::max(last, p.page);
    layout.pageCount = last;
    return true;
}

} // namespace nettor
