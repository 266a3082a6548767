#include "formats/project_file.h"

#include <sstream>

namespace nettor {

std::string describeProject(const ProjectContent& project)
{
    std::ostringstream out;
    if (!project.model) {
        out << project.error << '\n';
        return out.str();
    }
    const Model& model = *project.model;
    std::size_t vertices = 0;
    std::size_t faces = 0;
    std::size_t edges = 0;
    std::size_t cuts = 0;
    for (const auto& object : model.objects) {
        vertices += object->vertices.size();
        faces += object->faces.size();
        edges += object->edges.size();
        for (const Edge* e : object->edges)
            if (e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut || e->state == EdgeState::Blocked) ++cuts;
    }
    const ProjectState& state = project.state;
    out << "Nettor project, format version " << kProjectFormatVersion << '\n';
    out << "Model: " << (model.filePath.empty() ? std::string("(unnamed)") : model.filePath) << '\n';
    out << "Objects: " << model.objects.size() << '\n';
    out << "Vertices: " << vertices << '\n';
    out << "Faces: " << faces << '\n';
    out << "Edges: " << edges << " (" << cuts << " cut)\n";
    out << "Texture: ";
    if (model.textureImage)
        out << model.textureImage->width << " x " << model.textureImage->height << '\n';
    else
        out << "none\n";
    if (!model.images.empty()) {
        std::size_t missing = 0;
        for (const auto& image : model.images) missing += image ? 0 : 1;
        out << "Material images: " << model.images.size() - missing;
        if (missing) out << " (" << missing << " missing)";
        out << '\n';
    }
    out << "Unfolding: " << (state.finished ? "finished" : "not finished") << ", " << state.unfoldedFaceCount
        << " of " << faces << " faces unfolded, " << model.parts.size() << " parts\n";
    out << "Layout: " << (state.layoutMode == LayoutMode::Pages ? "pages" : "one sheet");
    if (project.layout)
        out << ", " << project.layout->pageCount << " page(s) of " << paperName(project.layout->settings) << ", "
            << project.layout->pieces.size() << " pieces";
    out << '\n';
    return out.str();
}

} // namespace nettor
