// Beside the dispatch by extension, which it calls; it changes only the shared state below it.
#include "formats/open_command.h"

#include "formats/load_model.h"
#include "formats/temp_cut_edge_file.h"
#include "state/app_state.h"

namespace nettor {

bool openModelPath(const std::string& path)
{
    AppState& state = appState();
    LoadedModel loaded = loadModelFile(path);
    if (loaded.result == LoadResult::CannotOpen) {
        showMessage(loadResultMessage(loaded.result));
        return false;
    }

    state.showTexture = false;
    if (state.textureWindowOpen && state.listener) state.listener->closeTextureWindow();

    if (loaded.result == LoadResult::ReadFailed) {
        showMessage(loadResultMessage(loaded.result));
        return false;
    }
    if (loaded.result == LoadResult::UnknownExtension) showMessage(loadResultMessage(loaded.result));

    state.replaceModel(std::move(loaded.model));
    forgetStartRecord();
    state.status.finished = false;
    state.status.undoAvailable = false;
    if (state.listener) state.listener->setDocumentTitle(baseName(state.model->filePath));
    sendHint(16);
    sendHint(3);
    return true;
}

} // namespace nettor
