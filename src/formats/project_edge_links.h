#pragma once
// How an object's edges are linked to its corners and vertices. Mostly the
// edges rebuilt from the faces come out as they were; when they do not (the
// faces were turned over after reading, say), the file lists the links.
#include "formats/project_json_reading.h"
#include "model/mesh.h"

#include <vector>

namespace nettor {

// Four numbers an edge (first corner, second corner or -1, first vertex,
// second vertex, all counted within the object), or null when rebuilding
// the edges from the faces gives them back as they are.
ProjectJson edgeLinksJson(const MeshObject& object);

// Puts the object's rebuilt edges in the listed order with the listed
// links; throws a ProjectError when the list does not fit the mesh.
void applyEdgeLinks(MeshObject& object, const ProjectJson& links, const std::string& where);

} // namespace nettor
