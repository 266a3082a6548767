#pragma once
// Laying one corner of a triangle flat beside two placed corners.
#include "model/unfold_records.h"

namespace nettor {

// The corner Q whose distances to A and B are dQA and dBQ, with dAB the
// distance |AB|. Q lies to the left of A->B, or to the right when left is
// false. Where rounding makes Q's height above AB imaginary (nearly collinear
// corners) it is taken as 0. Two coincident corners give no direction; Q is
// then put at distance dQA along the x axis from A.
PatternPoint placeThirdCorner(const PatternPoint& a, const PatternPoint& b, double dAB, double dBQ,
                              double dQA, bool left = true);

} // namespace nettor
