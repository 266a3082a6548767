// The session's project file: saving the whole work, opening it again, and
// the recovery copy the window keeps while there are unsaved changes.
#include "session/session.h"

#include "formats/load_model.h"
#include "model/face_texture.h"

namespace nettor {

ProjectState Session::projectState() const
{
    ProjectState state;
    state.settings = settings;
    state.partSearch = partSearch;
    state.layoutMode = layoutMode;
    state.pagesSettings = pagesSettings;
    state.finished = status.finished;
    state.unfoldedFaceCount = status.unfoldedFaceCount;
    state.partCount = status.partCount;
    state.requestedScale = requestedScale;
    state.displayedScale = displayedScale;
    state.showTexture = showTexture;
    state.camera = camera;
    return state;
}

std::string Session::projectJson() const
{
    if (!model) return {};
    const ProjectState state = projectState();
    return projectJsonText({*model, state, pagesLayout ? &*pagesLayout : nullptr});
}

bool Session::saveProject(const std::string& path)
{
    if (!model) return false;
    const ProjectState state = projectState();
    std::string error;
    if (!writeProjectFile(path, {*model, state, pagesLayout ? &*pagesLayout : nullptr}, error)) {
        message(error);
        return false;
    }
    projectPath = path;
    unsavedChanges_ = false;
    if (listener) listener->setDocumentTitle(baseName(path));
    return true;
}

bool Session::writeRecoveryCopy(const std::string& path, std::string& error) const
{
    if (!model) {
        error = "There is no work to keep.";
        return false;
    }
    const ProjectState state = projectState();
    return writeProjectFile(path, {*model, state, pagesLayout ? &*pagesLayout : nullptr}, error, 0600);
}

bool Session::openProject(const std::string& path)
{
    return openProject(path, readProjectFile(path));
}

bool Session::openProject(const std::string& path, ProjectContent project)
{
    if (!project.model) {
        message(project.error);
        return false;
    }
    showTexture = false;
    if (textureWindowOpen && listener) listener->closeTextureWindow();
    forgetStartRecord();

    const ProjectState& state = project.state;
    const std::int32_t printTextures = settings.printTextures; // the user's choice, not the project's
    settings = state.settings;
    settings.printTextures = printTextures;
    partSearch = state.partSearch;
    layoutMode = state.layoutMode;
    pagesSettings = state.pagesSettings;
    requestedScale = state.requestedScale;
    displayedScale = state.displayedScale;
    camera = state.camera;
    projectPath = path;
    makeCurrent(std::move(project.model), [&] {
        pagesLayout = std::move(project.layout);
        showTexture = state.showTexture && hasTextureImages(*model);
        status.unfoldedFaceCount = state.unfoldedFaceCount;
        status.totalFaceCount = model->faceCount;
        status.partCount = state.partCount;
        status.finished = state.finished;
        status.busy = false;
        status.cancelRequested = false;
        status.quiet = false;
        status.invertAllowed = state.unfoldedFaceCount == 0 && !state.finished;
    });
    notify(ViewChange::SettingsChanged);
    return true;
}

} // namespace nettor
