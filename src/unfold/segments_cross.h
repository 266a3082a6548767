#pragma once
// Crossing test of two segments in the pattern plane.
#include "model/unfold_records.h"

namespace nettor {

// True when P1-P2 and P3-P4 cross at a point that lies, on both segments,
// at least the fraction eps away from their ends. Parallel and collinear
// segments, and segments of zero length, never cross.
bool segmentsIntersect(const PatternPoint& p1, const PatternPoint& p2, const PatternPoint& p3,
                       const PatternPoint& p4, double eps);

} // namespace nettor
