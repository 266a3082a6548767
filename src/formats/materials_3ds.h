#pragma once
// The materials of a 3D Studio file: a material chunk's name, diffuse
// colour and texture map file, and the face chunk's material groups that
// give faces their material. Each reads only inside the span it is given.
#include "model/mesh.h"

#include <string>
#include <string_view>
#include <vector>

namespace nettor {

struct Material3ds {
    std::string name;
    bool hasDiffuse = false;
    float diffuse[3] = {0.8f, 0.8f, 0.8f};
    std::string map; // the texture file as written; empty for none
};

// The content of a material chunk (0xAFFF), between its header and its end.
Material3ds readMaterial3ds(std::string_view content);

struct MaterialGroup3ds {
    std::string name;
    std::vector<std::uint16_t> faces; // numbers within the face chunk
};

// The sub-chunks that follow a face chunk's face records.
std::vector<MaterialGroup3ds> readMaterialGroups3ds(std::string_view subChunks);

// Gives the faces of the groups their material: each named material used
// becomes one of the object's materials, with its colour and texture name.
void applyMaterials3ds(MeshObject& object, const std::vector<Material3ds>& materials,
                       const std::vector<std::pair<Face*, std::string>>& faceMaterials);

} // namespace nettor
