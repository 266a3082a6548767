#pragma once
// The materials of an OBJ file: the libraries its "mtllib" lines name and
// the material each face was given by the "usemtl" line before it.
#include "model/mesh.h"

#include <string>
#include <utility>
#include <vector>

namespace nettor {

struct ObjMaterialUse {
    std::vector<std::string> libraries; // as written, in order
    std::vector<std::string> names;     // each material name used, once
    std::vector<std::pair<Face*, std::int32_t>> faces; // face, index into names
};

// Reads the OBJ text like Model::readObjText and notes its materials.
bool readObjTextNotingMaterials(Model& model, const std::string& text, ObjMaterialUse& use);

// Reads the libraries (relative to the OBJ file's folder), gives each used
// material found there to the object with its colour and image, and sets
// the faces' materialIndex. A library or image that cannot be read gives a
// warning; its faces stay without a material or untextured.
void applyObjMaterials(Model& model, const ObjMaterialUse& use, const std::string& objFolder);

} // namespace nettor
