// Assimp reads the file; the conversion of what it gives is ours
// (assimp_scene.cpp). Faces keep the corners the file gives them: Assimp's
// faces carry no holes, so nothing has to be triangulated.
#include "formats/assimp_import.h"

#include "formats/assimp_scene.h"
#include "formats/material_images.h"
#include "model/diagnostics.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <exception>

namespace nettor {

namespace {

// Checks the scene's references before it reaches the conversion, which
// checks them again for itself.
constexpr unsigned kImportFlags = aiProcess_ValidateDataStructure;

bool ownFormat(const std::string& extension)
{
    static const char* const own[] = {"obj", "dxf", "rok", "mqo", "3ds", "nte"};
    return std::find(std::begin(own), std::end(own), extension) != std::end(own);
}

template <class ReadScene>
bool import(Model& model, const std::string& source, ReadScene readScene)
{
    try {
        Assimp::Importer importer;
        const aiScene* scene = readScene(importer);
        if (!scene) {
            diagnostics() << "Cannot read " << source << ": " << importer.GetErrorString() << "\n";
            return false;
        }
        return sceneToModel(*scene, model);
    } catch (const std::exception& e) {
        diagnostics() << "Cannot read " << source << ": " << e.what() << "\n";
        return false;
    }
}

} // namespace

const std::vector<std::string>& importedExtensions()
{
    static const std::vector<std::string> extensions = [] {
        std::string list; // "*.3d;*.3ds;..."
        Assimp::Importer().GetExtensionList(list);
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at <= list.size()) {
            std::size_t end = list.find(';', at);
            if (end == std::string::npos) end = list.size();
            std::string entry = list.substr(at, end - at);
            at = end + 1;
            if (entry.rfind("*.", 0) == 0) entry.erase(0, 2);
            std::transform(entry.begin(), entry.end(), entry.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            // Two-part endings (mesh.xml) are found by their last part.
            if (entry.empty() || entry.find('.') != std::string::npos || ownFormat(entry)) continue;
            out.push_back(entry);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }();
    return extensions;
}

bool isImportedExtension(const std::string& lowerExtension)
{
    const auto& all = importedExtensions();
    return std::binary_search(all.begin(), all.end(), lowerExtension);
}

bool importModel(Model& model, const std::string& path)
{
    if (!import(model, path, [&](Assimp::Importer& importer) { return importer.ReadFile(path, kImportFlags); }))
        return false;
    loadMaterialImages(model, containingFolder(path));
    return true;
}

} // namespace nettor
