#pragma once
// Splitting a piece of the Pages layout along one of its folds, and joining
// two pieces again across a cut the layout made. The model's unfolding is
// not touched: the pieces of a part share its pattern, so a piece's faces
// keep their places on it.
#include "pattern/pages_layout.h"

namespace nettor {

// The fold side (two faces of one piece joined there) within toleranceMm
// of a point of a page, the nearest; null for none.
const HalfEdge* foldSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm);

// Cuts the fold: the faces reached from the side's face without crossing it
// stay in their piece, the others become a new piece at the end of the
// layout, at the same place. The cut gets the next free number and a flap
// on the side given. False when the side is no fold of a piece or when the
// piece holds together around it.
bool splitPieceAtFold(PagesLayout& layout, const HalfEdge& side);

// Joins the pieces on both sides of a cut the layout made (either side
// given): the other piece's faces join the side's piece, where it lies; the
// cut loses its number and its flap. False for any other edge.
bool joinPiecesAtCut(PagesLayout& layout, const HalfEdge& side);

} // namespace nettor
