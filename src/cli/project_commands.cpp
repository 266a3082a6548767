// nettor-cli export PROJECT.nettor: the outputs of a saved project, with
// its layout, without unfolding again.
#include "cli/command_registry.h"
#include "cli/pages_options.h"
#include "cli/pattern_exports.h"
#include "formats/pattern_json.h"

#include "formats/project_file.h"
#include "model/mesh.h"

#include <fstream>
#include <iostream>

namespace nettor::cli {

namespace {

struct ExportOptions {
    std::string projectPath;
    std::string jsonPath;
    PatternExports exports;
    bool printTextures = true;
};

int runExport(const ExportOptions& options)
{
    ProjectContent project = readProjectFile(options.projectPath);
    if (!project.model) {
        std::cerr << options.projectPath << ": " << project.error << std::endl;
        return 1;
    }
    Model& model = *project.model;
    ProjectState& state = project.state;
    state.settings.printTextures = options.printTextures ? 1 : 0;
    const PagesLayout* layout =
        state.layoutMode == LayoutMode::Pages && project.layout ? &*project.layout : nullptr;
    if (!options.jsonPath.empty()) {
        std::ofstream file(options.jsonPath);
        file << unfoldingJson(model, state.displayedScale, layout);
        if (!file) {
            std::cerr << "File open ERROR" << std::endl;
            return 1;
        }
    }
    if (layout) {
        int exitCode = writePagesExports(options.exports, *layout, state.settings);
        const PatternExports others = exportsBesidePages(options.exports);
        if (exitCode == 0 && others.any()) exitCode = writePatternExports(others, model, state.settings, state.finished);
        return exitCode;
    }
    if (!options.exports.any()) return 0;
    return writePatternExports(options.exports, model, state.settings, state.finished);
}

CommandRegistration projectCommandsRegistration(25, [](CLI::App& app, int& exitCode) {
    auto* sub = app.add_subcommand("export", "Write the outputs of a saved .nettor project, in its layout.");
    auto options = std::make_shared<ExportOptions>();
    sub->add_option("PROJECT", options->projectPath, "project file (.nettor)")->required();
    sub->add_option("--json", options->jsonPath, "write the whole unfolding as JSON to this file");
    sub->add_option("--eps", options->exports.epsPath, "write the pattern as EPS to this file");
    sub->add_option("--svg", options->exports.svgPath, "write the pattern as SVG to this file");
    sub->add_option("--emf", options->exports.emfPath,
                    "write the pattern as an Enhanced Metafile (96 dpi) to this file");
    sub->add_option("--pdf", options->exports.pdfPath, "write the printed pages as PDF to this file");
    sub->add_option("--nte", options->exports.ntePath, "write the cut edges to this .nte file");
    sub->add_option("--obj", options->exports.objPath,
                    "write the model as OBJ with the pattern as texture coordinates");
    addPrintTexturesOption(*sub, options->printTextures);
    sub->callback([&exitCode, options] { exitCode = runExport(*options); });
});

} // namespace

} // namespace nettor::cli
