#pragma once
// The temporary cut-edge file that Start writes and the panel's Undo reads
// back: "nettor_temp.nte" in the system's temporary folder.
#include "model/mesh.h"

#include <memory>
#include <string>

namespace nettor {

// The path of the temporary file; empty when the system has no temporary
// folder.
std::string tempCutEdgeFilePath();

// Before automatic unfolding: writes the current model's cut edges to the
// temporary file, with the model path relative to it. Only with a model
// loaded and the unfolding not finished; returns whether the file was
// written. Failures are silent.
bool saveBeforeUnfolding();

// The model as it was saved by saveBeforeUnfolding: a fresh model read from
// the temporary file, its saved cuts marked; null when it cannot be read
// (the cut-edge reader has told the user why).
std::unique_ptr<Model> readModelBeforeUnfolding();

} // namespace nettor
