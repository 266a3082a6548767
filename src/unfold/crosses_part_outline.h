#pragma once
// Does a prospective segment cross the outline of a part?
#include "model/unfold_records.h"

namespace nettor {

struct PartOutline;

// True when P-Q crosses an outline segment (a side without fold partner) of
// a placed face of the part other than exceptFace.
bool crossesPartOutline(const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);
// The same against an outline collected before.
bool crossesPartOutline(const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);

} // namespace nettor
