#pragma once
// Laying faces flat: the fan placement of a face's corners from one anchor
// corner, and one corner of a triangle beside two placed corners.
#include "model/unfold_records.h"
#include "model/vec3.h"

namespace nettor {

// Places the corner whose 3D position is q, given the anchor (3D k, placed at
// a) and the previously placed corner (3D p, placed at b). normal is the
// face's outward normal: the new corner goes to the side of a->b on which q
// lies, seen from outside, so that faces with reflex corners keep their
// shape.
PatternPoint placeFanCorner(const PatternPoint& a, const PatternPoint& b, const Vec3& k,
                            const Vec3& p, const Vec3& q, const Vec3& normal);

// The corner Q whose distances to A and B are dQA and dBQ, with dAB the
// distance |AB|. Q lies to the left of A->B, or to the right when left is
// false. Where rounding makes Q's height above AB imaginary (nearly collinear
// corners) it is taken as 0. Two coincident corners give no direction; Q is
// then put at distance dQA along the x axis from A.
PatternPoint placeThirdCorner(const PatternPoint& a, const PatternPoint& b, double dAB, double dBQ,
                              double dQA, bool left = true);

} // namespace nettor
