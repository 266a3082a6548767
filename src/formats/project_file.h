#pragma once
// The project file (.nettor): the whole work on one model in one file. The
// model is embedded with its texture, its edge states, its unfolding (parts,
// pattern points, corner copies), the layout, the settings and the 3D view's
// camera, so that opening it gives back exactly what was saved. It is JSON
// ("format": "nettor-project", a version number), compressed with zlib; see
// docs/project-format.md.
#include "model/mesh.h"
#include "pattern/pages_layout.h"
#include "scene/quaternion.h"
#include "state/pages_settings.h"
#include "state/part_search_settings.h"
#include "state/settings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nettor {

inline constexpr int kProjectFormatVersion = 1;
inline constexpr const char* kProjectFormatName = "nettor-project";

// The 3D view's camera as far as it outlives a drag.
struct ProjectCamera {
    Quaternion orientation;
    Vec3 modelCentre;
    double distance = -5.0;
};

// What a project holds besides the model and its layout.
struct ProjectState {
    Settings settings;
    PartSearchSettings partSearch;
    LayoutMode layoutMode = LayoutMode::OneSheet;
    PagesSettings pagesSettings;
    bool finished = false;
    std::int32_t unfoldedFaceCount = 0;
    std::int32_t partCount = 0;
    double requestedScale = 0.0;
    double displayedScale = 0.0;
    bool showTexture = false;
    std::optional<ProjectCamera> camera;
};

// What is saved: read, never changed.
struct ProjectSource {
    const Model& model;
    const ProjectState& state;
    const PagesLayout* layout = nullptr; // the Pages layout, when there is one
};

// What is read back; on failure only error is set.
struct ProjectContent {
    std::unique_ptr<Model> model;
    ProjectState state;
    std::optional<PagesLayout> layout;
    std::string error; // what is wrong, for the user
};

// The project as its uncompressed JSON text.
std::string projectJsonText(const ProjectSource& source);
// The project file's bytes (compressed JSON).
std::string projectFileBytes(const ProjectSource& source);

// Writes the project to path by writing a temporary file in the same folder
// and renaming it over path; on failure the old file stays and error says
// why. mode is the new file's permission bits (0600 for recovery copies).
bool writeProjectFile(const std::string& path, const ProjectSource& source, std::string& error,
                      unsigned mode = 0644);

// Reads a project from its file bytes or its JSON text. Never throws.
ProjectContent readProjectBytes(std::string_view bytes);
ProjectContent readProjectJson(std::string_view json);
ProjectContent readProjectFile(const std::string& path);

// A short description of a project for `nettor-cli info`.
std::string describeProject(const ProjectContent& project);

// Limits the reader checks before it allocates.
inline constexpr std::size_t kMaxProjectFileBytes = std::size_t{1} << 30;
inline constexpr std::size_t kMaxProjectJsonBytes = std::size_t{256} << 20;

} // namespace nettor
