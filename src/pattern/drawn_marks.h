#pragma once
// The per-pass scratch mark on edges: "already handled in this pass".
#include "model/mesh.h"

namespace nettor {

// Clears drawnMark on every edge of every object.
void clearDrawnMarks(Model& model);

} // namespace nettor
