#pragma once
// Numbering the cut edges for the edge labels.

namespace nettor {

struct Model;

// Gives every Cut and MarkedCut edge that has no number yet the next number
// from 1, in the order of the objects, their faces and the faces' corners.
void numberCutEdges(Model& model);

} // namespace nettor
