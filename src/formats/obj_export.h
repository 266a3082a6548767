#pragma once
// The model as a Wavefront OBJ file whose texture coordinates are the
// corners' positions in the unfolded pattern, scaled into the unit square
// with the aspect ratio kept (the longer side spans 0 to 1, v grows in the
// pattern's downward direction).
#include "model/mesh.h"

#include <ostream>

namespace nettor {

// Every face corner gets its own "vt" line; "f" lines pair the vertex id
// with the corner's number and end with a blank before the line break.
void writeObjExport(const Model& model, std::ostream& out);

} // namespace nettor
