#pragma once
// The images a model file's materials name, read into Model::images once
// each. A name is taken relative to a folder, with "/" or "\" between its
// parts, and when the exact name is missing each part is matched ignoring
// case (and at last the bare file name in the folder), as models made on
// other systems name their files. An image that cannot be read leaves its
// material without one and gives a warning (diagnostics and readWarnings).
#include "model/mesh.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nettor {

// The folder part of a path ("" for a bare file name).
std::string containingFolder(const std::string& path);

// The file a model file names relative to folder, if it can be found.
std::optional<std::string> findReferencedFile(const std::string& folder, const std::string& name);

class MaterialImageLoader {
public:
    explicit MaterialImageLoader(Model& model) : model_(model) {}

    // The index in model.images of the image file `name` names relative to
    // folder, read on first use; -1 (after a warning) when it cannot be read.
    std::int32_t fromFile(const std::string& folder, const std::string& name);
    // An image carried inside the model file, known by its label.
    std::int32_t fromBytes(const std::string& label, std::string_view bytes);
    // A decoded image carried inside the model file.
    std::int32_t add(const std::string& label, std::unique_ptr<TextureImage> image);

    // Warns that the image could not be read, for the reason given.
    void warn(const std::string& name, const std::string& reason);

private:
    Model& model_;
    std::map<std::string, std::int32_t> known_; // by file or label
};

// Reads the image of every material that names one and has none yet,
// relative to folder.
void loadMaterialImages(Model& model, const std::string& folder);

} // namespace nettor
