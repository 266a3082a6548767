#include "formats/obj_materials.h"

#include "formats/material_images.h"
#include "formats/read_mtl.h"
#include "formats/text_file.h"
#include "model/diagnostics.h"

#include <map>
#include <sstream>

namespace nettor {

namespace {

struct FoundMaterial {
    MtlMaterial material;
    std::string folder; // of its library, where its images are looked for
};

// The files a "mtllib" line names: the whole line when it names one file
// (names may hold spaces), else each word.
std::vector<std::string> libraryFiles(Model& model, const std::string& objFolder, const std::string& line)
{
    if (auto whole = findReferencedFile(objFolder, line)) return {*whole};
    std::vector<std::string> files;
    std::istringstream words(line);
    std::string word;
    bool missing = false;
    while (words >> word) {
        if (auto found = findReferencedFile(objFolder, word)) files.push_back(*found);
        else missing = true;
    }
    if (missing || files.empty()) {
        const std::string text = "Warning: the material library \"" + line + "\" could not be read.";
        diagnostics() << text << '\n';
        model.readWarnings.push_back(text);
    }
    return files;
}

} // namespace

void applyObjMaterials(Model& model, const ObjMaterialUse& use, const std::string& objFolder)
{
    if (model.objects.empty() || use.names.empty()) return;
    std::map<std::string, FoundMaterial> library; // the first definition of a name counts
    for (const std::string& line : use.libraries) {
        for (const std::string& file : libraryFiles(model, objFolder, line)) {
            auto text = readWholeFile(file);
            if (!text) continue;
            for (MtlMaterial& m : parseMtl(*text)) {
                std::string name = m.name;
                library.emplace(std::move(name), FoundMaterial{std::move(m), containingFolder(file)});
            }
        }
    }

    MeshObject& object = *model.objects.front();
    MaterialImageLoader images(model);
    std::vector<std::int32_t> indexOfName(use.names.size(), -1);
    for (std::size_t i = 0; i < use.names.size(); ++i) {
        const auto found = library.find(use.names[i]);
        if (found == library.end()) continue;
        const MtlMaterial& source = found->second.material;
        Material m;
        m.name = source.name;
        if (source.hasDiffuse) {
            for (int c = 0; c < 3; ++c) m.ambient[c] = m.diffuse[c] = source.diffuse[c];
            m.ambient[3] = m.diffuse[3] = 1.0f;
        }
        m.textureName = source.diffuseMap;
        if (!m.textureName.empty()) m.imageIndex = images.fromFile(found->second.folder, m.textureName);
        object.materials.push_back(std::move(m));
        indexOfName[i] = static_cast<std::int32_t>(object.materials.size() - 1);
    }
    for (const auto& [face, name] : use.faces) {
        if (name >= 0 && static_cast<std::size_t>(name) < indexOfName.size())
            face->materialIndex = indexOfName[static_cast<std::size_t>(name)];
    }
}

} // namespace nettor
