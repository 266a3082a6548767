#pragma once
// Wavefront material libraries (.mtl): each material's name ("newmtl"),
// its diffuse colour ("Kd") and its diffuse texture ("map_Kd", options such
// as "-s 1 1 1" read past). Everything else is skipped; nothing in the text
// makes the reading fail.
#include <string>
#include <string_view>
#include <vector>

namespace nettor {

struct MtlMaterial {
    std::string name;
    bool hasDiffuse = false;
    float diffuse[3] = {0.8f, 0.8f, 0.8f};
    std::string diffuseMap; // the file name as written; empty for none
};

std::vector<MtlMaterial> parseMtl(std::string_view text);

} // namespace nettor
