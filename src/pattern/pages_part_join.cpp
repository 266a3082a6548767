#include "pattern/pages_part_join.h"

#include "pattern/pages_flap_edit.h"

#include <algorithm>
#include <cmath>

namespace nettor {

void joinLaidOutParts(PagesLayout& layout, const HalfEdge& side, int keptPart, int removedPart, double degrees,
                      PatternPoint shift)
{
    const int keep = pieceOfSide(layout, side);
    const int across = side.twin ? pieceOfSide(layout, *side.twin) : -1;
    const MmPoint shiftMm = layout.local(shift);
    for (LaidOutPiece& piece : layout.pieces) {
        std::erase_if(piece.flaps, [&](const LayoutFlap& flap) { return flap.side && flap.side->edge == side.edge; });
        if (piece.part != removedPart) continue;
        for (LayoutFlap& flap : piece.flaps)
            for (MmPoint& c : flap.corners) {
                const MmPoint t = turned(c, degrees);
                c = {t.x + shiftMm.x, t.y + shiftMm.y};
            }
        // Turned back by as much as its pattern turned, and moved back by
        // the shift: every point stays where it lay on the page.
        double rotation = std::fmod(piece.rotationDeg - degrees, 360.0);
        if (rotation < 0.0) rotation += 360.0;
        const MmPoint back = turned(shiftMm, rotation);
        piece.rotationDeg = rotation;
        piece.offset = {piece.offset.x - back.x, piece.offset.y - back.y};
        piece.part = keptPart;
    }
    if (keep >= 0 && across >= 0 && keep != across) {
        LaidOutPiece& into = layout.pieces[static_cast<std::size_t>(keep)];
        LaidOutPiece& from = layout.pieces[static_cast<std::size_t>(across)];
        into.faces.insert(into.faces.end(), from.faces.begin(), from.faces.end());
        into.flaps.insert(into.flaps.end(), from.flaps.begin(), from.flaps.end());
        layout.pieces.erase(layout.pieces.begin() + across);
    }
    for (LaidOutPiece& piece : layout.pieces)
        if (piece.part > removedPart) --piece.part;
    int last = 1;
    for (const LaidOutPiece& p : layout.pieces) last = std::max(last, p.page);
    layout.pageCount = last;
}

} // namespace nettor
