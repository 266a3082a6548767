#pragma once
// The path of a model file as seen from a file that refers to it.
#include <string>

namespace nettor {

// The model's path relative to the folder of the referring file, beginning
// with a dot ("./model.obj", "../data/model.obj"), with "/" separators. Empty
// when none can be formed (no model path, or no common root).
std::string relativeModelPath(const std::string& referringFilePath, const std::string& modelPath);

} // namespace nettor
