#include "formats/relative_model_path.h"

#include <filesystem>
#include <system_error>

namespace nettor {

std::string relativeModelPath(const std::string& referringFilePath, const std::string& modelPath)
{
    namespace fs = std::filesystem;
    if (referringFilePath.empty() || modelPath.empty()) return {};
    std::error_code ec;
    const fs::path model = fs::absolute(modelPath, ec).lexically_normal();
    if (ec) return {};
    const fs::path folder = fs::absolute(referringFilePath, ec).parent_path().lexically_normal();
    if (ec) return {};
    const fs::path relative = model.lexically_relative(folder);
    if (relative.empty()) return {};
    const std::string text = relative.generic_string();
    if (text == ".." || text.rfind("../", 0) == 0) return text;
    return "./" + text;
}

} // namespace nettor
