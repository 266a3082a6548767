#include "formats/temp_cut_edge_file.h"

#include "formats/cut_edge_file.h"
#include "formats/relative_model_path.h"
#include "state/app_state.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace nettor {

std::string tempCutEdgeFilePath()
{
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec || folder.empty()) return {};
    std::string path = folder.string();
    if (path.back() != '/') path += '/';
    return path + "nettor_temp.nte";
}

bool saveBeforeUnfolding()
{
    AppState& state = appState();
    if (!state.model || state.status.finished) return false;
    const std::string path = tempCutEdgeFilePath();
    if (path.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    writeCutEdgeFile(*state.model, out, relativeModelPath(path, state.model->filePath));
    out.flush();
    return static_cast<bool>(out);
}

std::unique_ptr<Model> readModelBeforeUnfolding()
{
    auto model = std::make_unique<Model>();
    const std::string path = tempCutEdgeFilePath();
    if (path.empty() || !readCutEdgeFile(path, *model)) return nullptr;
    return model;
}

} // namespace nettor
