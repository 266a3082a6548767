// Fuzz target: the OBJ reader on arbitrary bytes, and the same bytes as a
// material library.
#include "formats/obj_materials.h"
#include "formats/read_mtl.h"
#include "fuzz_checks.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nettor::fuzz::silenceDiagnostics();
    const std::string text(nettor::fuzz::bytes(data, size));
    nettor::Model model;
    nettor::ObjMaterialUse use;
    if (nettor::readObjTextNotingMaterials(model, text, use)) {
        nettor::fuzz::checkModel(model);
        for (const auto& [face, name] : use.faces)
            nettor::fuzz::require(face != nullptr && name >= 0 && std::size_t(name) < use.names.size());
    }
    for (const nettor::MtlMaterial& m : nettor::parseMtl(text))
        nettor::fuzz::require(m.diffuse[0] >= 0.0f && m.diffuse[0] <= 1.0f);
    return 0;
}
