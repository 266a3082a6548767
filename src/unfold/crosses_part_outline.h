#pragma once
// Does a prospective segment cross the outline of a part?
#include "model/unfold_records.h"

namespace nettor {

// True when P-Q crosses an outline segment (a side without fold partner) of
// a placed face of the part other than exceptFace.
bool crossesPartOutline(const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);

} // namespace nettor
