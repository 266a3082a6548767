#pragma once
// Model files of the formats the program has no reader of its own for, read
// through the Assimp library. Nothing of Assimp is seen outside this pair of
// files and the conversion they share (assimp_scene.h).
#include "model/mesh.h"

#include <string>
#include <string_view>
#include <vector>

namespace nettor {

// The extensions (lower case, without the dot) read through Assimp, in
// alphabetical order; the program's own formats (obj, dxf, rok, mqo, 3ds)
// and the cut-edge file are not among them.
const std::vector<std::string>& importedExtensions();
bool isImportedExtension(const std::string& lowerExtension);

// Reads the file into an empty model: one object per mesh placed in the
// scene, with the node transforms applied, vertices merged by exact
// position within each object, the first texture coordinate set and the
// diffuse colours as materials. False when Assimp refuses the file or what
// it gives names a vertex it does not have; its message then goes to the
// diagnostics stream.
bool importModel(Model& model, const std::string& path);

} // namespace nettor
