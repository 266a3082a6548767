// nettor-cli info FILE: what a model file holds.
#include "cli/command_registry.h"

#include "formats/load_model.h"
#include "formats/project_file.h"
#include "model/mesh.h"

#include <iostream>

namespace nettor::cli {

namespace {

int runProjectInfo(const std::string& path)
{
    const ProjectContent project = readProjectFile(path);
    if (!project.model) {
        std::cerr << path << ": " << project.error << std::endl;
        return 1;
    }
    std::cout << describeProject(project);
    return 0;
}

int runInfo(const std::string& path)
{
    if (lowerExtension(path) == "nettor") return runProjectInfo(path);
    std::unique_ptr<Model> model = loadModelForCli(path);
    if (!model) return 1;
    std::size_t vertices = 0, faces = 0, edges = 0, border = 0, markedCuts = 0;
    for (auto& object : model->objects) {
        vertices += object->vertices.size();
        faces += object->faces.size();
        edges += object->edges.size();
        for (Edge* e : object->edges) {
            if (!e->halfEdge2) ++border;
            if (e->state == EdgeState::MarkedCut) ++markedCuts;
        }
    }
    std::cout << "objects: " << model->objects.size() << "\n"
              << "vertices: " << vertices << "\n"
              << "faces: " << faces << "\n"
              << "edges: " << edges << "\n"
              << "border edges: " << border << "\n"
              << "texture coordinates: " << (model->hasTexCoords ? "yes" : "no") << "\n"
              << "bounds min: " << model->boundsMin.x << " " << model->boundsMin.y << " "
              << model->boundsMin.z << "\n"
              << "bounds max: " << model->boundsMax.x << " " << model->boundsMax.y << " "
              << model->boundsMax.z << "\n";
    if (lowerExtension(path) == "nte") std::cout << "marked cuts: " << markedCuts << "\n";
    return 0;
}

CommandRegistration registration(10, [](CLI::App& app, int& exitCode) {
    auto* sub = app.add_subcommand("info", "Print what a model file or a .nettor project holds.");
    auto path = std::make_shared<std::string>();
    sub->add_option("FILE", *path, "model file (obj, dxf, rok, mqo, 3ds, nte, stl, ply, gltf, ...) or project (nettor)")->required();
    sub->callback([&exitCode, path] { exitCode = runInfo(*path); });
});

} // namespace

} // namespace nettor::cli
