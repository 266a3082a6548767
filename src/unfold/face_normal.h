#pragma once
// The outward unit normal of a face, robust for non-convex outlines.
#include "model/vec3.h"

namespace nettor {

struct Face;

// The face's plane normal, turned if it disagrees with the winding of the
// whole outline (a plane taken at a reflex first corner points inward). A face
// without a usable plane gets the normal of its outline; a face without area
// gets the zero vector.
Vec3 outwardNormal(const Face& face);

} // namespace nettor
