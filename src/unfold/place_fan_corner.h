#pragma once
// The fan placement: the corners of a face after its first two are laid out
// from one anchor corner, each beside the corner placed before it.
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

} // namespace nettor
