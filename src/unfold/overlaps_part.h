#pragma once
// Would a prospective face overlap the placed faces of a part?
#include "model/unfold_records.h"

#include <span>

namespace nettor {

struct PartOutline;

// True while overlapCheck is on, when the flat face with the given corners
// (in loop order) overlaps any placed face of the part the outline was
// collected from, the face it would join across a fold included
// (facesOverlap, with the tolerance of overlapTolerance for those corners).
// Only the placed faces whose boxes come within the tolerance of the new
// face's box are compared.
bool overlapsPart(const PartOutline& outline, std::span<const PatternPoint> corners);

} // namespace nettor
