#include "formats/load_model.h"

#include "formats/assimp_import.h"
#include "formats/text_file.h"
#include "formats/cut_edge_file.h"

#include <algorithm>
#include <cctype>

namespace nettor {

namespace {

std::string fileNamePart(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string lowerExtension(const std::string& path)
{
    const std::string name = fileNamePart(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::string baseName(const std::string& path)
{
    std::string name = fileNamePart(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::vector<std::string> readableExtensions()
{
    std::vector<std::string> all = {"obj", "dxf", "rok", "mqo", "3ds", "nte"};
    const auto& imported = importedExtensions();
    all.insert(all.end(), imported.begin(), imported.end());
    return all;
}

std::string extensionPatterns(const std::vector<std::string>& extensions)
{
    std::string out;
    for (const std::string& e : extensions) out += (out.empty() ? "*." : " *.") + e;
    return out;
}

std::string loadResultMessage(LoadResult result)
{
    switch (result) {
    case LoadResult::Loaded: return {};
    case LoadResult::CannotOpen:
    case LoadResult::ReadFailed: return "This file could not be read.";
    case LoadResult::UnknownExtension: return "Nettor can't read the specified file.";
    }
    return {};
}

LoadResult readModelFormat(Model& model, const std::string& path)
{
    const std::string ext = lowerExtension(path);
    bool ok;
    if (ext == "obj") {
        ok = model.readObj(path);
    } else if (ext == "dxf") {
        ok = model.readDxf(path);
    } else if (ext == "rok") {
        ok = model.readRok(path);
    } else if (ext == "3ds") {
        ok = model.read3ds(path);
    } else if (ext == "mqo") {
        ok = model.readMqo(path);
    } else if (isImportedExtension(ext)) {
        ok = importModel(model, path);
    } else {
        return LoadResult::UnknownExtension;
    }
    if (!ok) return LoadResult::ReadFailed;
    model.filePath = path;
    return LoadResult::Loaded;
}

LoadedModel loadModelFile(const std::string& path, UiListener* reporter)
{
    LoadedModel out;
    if (!fileIsReadable(path)) {
        out.result = LoadResult::CannotOpen;
        return out;
    }
    auto model = std::make_unique<Model>();
    if (lowerExtension(path) == "nte") // names a model file and the edges to cut
        out.result = readCutEdgeFile(path, *model, reporter) ? LoadResult::Loaded : LoadResult::ReadFailed;
    else
        out.result = readModelFormat(*model, path);
    if (out.result != LoadResult::ReadFailed) out.model = std::move(model);
    return out;
}

} // namespace nettor
