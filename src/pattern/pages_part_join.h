#pragma once
// The Pages layout after two parts of the unfolding were joined across one
// of the model's cuts: the other part's pattern was moved onto the side's.
#include "pattern/pages_layout.h"

namespace nettor {

// The pieces of the other part (removedPart, as numbered before the join)
// follow its pattern: the one across the cut joins the side's piece, where
// that lies; any others stay where they lay on their pages. The cut's flap
// goes. degrees and shift (in pattern units) are the motion that moved the
// other part's pattern (a turn about its origin, x towards y, then the
// shift). Parts after the removed one move down by one.
void joinLaidOutParts(PagesLayout& layout, const HalfEdge& side, int keptPart, int removedPart, double degrees,
                      PatternPoint shift);

} // namespace nettor
