#pragma once
// Glue flaps of the Pages layout that overlap nothing: each stands on the
// side of its cut with the lower face number, or moves to the other side,
// or is shortened and narrowed, or is left out, so that it covers no face
// and no other flap of its piece.
#include "pattern/pages_layout.h"

namespace nettor {

// The flap standing on the side from p0 to p3, outside its face, height
// high, its slanted sides reaching inset along the base; pointed when the
// insets meet. None for a side of no length.
std::optional<std::array<MmPoint, 4>> layoutFlapShape(MmPoint p0, MmPoint p3, double height,
                                                      double inset);

// Fills the flaps of every piece and the moved, shortened and omitted
// counts. pieceOfFace maps a face index to its piece.
void chooseLayoutFlaps(const Settings& settings, PagesLayout& layout, const std::vector<int>& pieceOfFace);

} // namespace nettor
