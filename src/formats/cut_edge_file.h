#pragma once
// The cut-edge file (.nte): the model file it belongs to and the indices of
// the edges to cut, counted over the objects' edge lists in model order.
//
//   #Nettor Cut Edge Info
//   # v1.1
//   <empty line>
//   <model path>
//   <one edge index per line, ascending>
#include "model/mesh.h"
#include "state/ui_listener.h"

#include <ostream>
#include <string>
#include <string_view>

namespace nettor {

// Writes the file for the model. The model path written is relativeModelPath
// when it is not empty, else the model's own filePath. Edges that are Cut,
// Blocked or MarkedCut are listed.
void writeCutEdgeFile(const Model& model, std::ostream& out, const std::string& relativeModelPath);

// Fills the empty model from the model file named in the cut-edge file and
// marks the listed edges MarkedCut; the model's filePath becomes the resolved
// model path. A relative model path (one beginning with ".") is taken from
// the cut-edge file's folder; "/" and "\" both separate folders. Indices
// outside the model's edges are ignored with a warning on the diagnostics
// stream. Failures tell the user, through the reporter when there is one: "This file could not be read." when the
// cut-edge file cannot be opened, "Can't open the file specified in this NTE
// file." when the model file has no reader or its reader fails. The reader is
// chosen by the path's last three characters, ignoring case (rok, dxf, obj,
// mqo, 3ds).
bool readCutEdgeFile(const std::string& path, Model& model, UiListener* reporter);

// The index part of a cut-edge file: each whitespace-separated token is an
// integer from its leading sign and digits (0 when there are none) naming
// an edge in the walk over the objects' edges; that edge becomes MarkedCut.
// Returns the number of indices outside the model's edges, which are
// ignored with a warning naming the source.
int markListedEdges(Model& model, std::string_view indexText, const std::string& source);

} // namespace nettor
