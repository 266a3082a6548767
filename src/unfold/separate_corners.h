#pragma once
// Opening the 3D copy of the model along its cuts.

namespace nettor {

struct Model;

// Moves every corner copy a tenth of the average edge length into the faces
// that share it, along the sum of their edge directions at that corner, so
// that the two sides of a cut move apart. A copy whose directions cancel out
// stays where it is.
void separateCorners(Model& model);

} // namespace nettor
