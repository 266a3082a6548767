#pragma once
// Model files of the formats read through Assimp, written from a mesh built
// in code, as other programs write them.
#include "support/model_builders.h"

#include <string>

namespace nettor::test {

// STL holds triangles: each face is fanned from its first corner.
std::string toStlAscii(const MeshSpec& spec);
std::string toStlBinary(const MeshSpec& spec);
// PLY (ASCII) and OFF keep the faces as they are.
std::string toPly(const MeshSpec& spec);
std::string toOff(const MeshSpec& spec);

} // namespace nettor::test
