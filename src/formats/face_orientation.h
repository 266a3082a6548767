#pragma once
// Consistent orientation of connected faces, as the ROK reader needs it.
#include "model/mesh.h"

namespace nettor {

// Reverses one face before its edges are built: the plane is negated, every
// half-edge takes the origin of its successor, next and prev are swapped and
// the loop's list is reversed.
void reverseFace(Face& face);

// Makes the faces of each connected group run the same way. Faces are taken
// in order; an unsettled face starts a group unchanged, and the group grows
// one face at a time: always the first unsettled face that shares two
// vertices with a settled one, compared with the first such settled face
// along the first of its sides that the settled face also has. It is
// reversed when that side runs the same way in both faces. Faces are
// connected by shared vertex pairs, before any edges exist.
void orientConnectedFaces(MeshObject& object);

} // namespace nettor
