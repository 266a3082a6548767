#pragma once
// Completing an unfolding once its last face is placed.

namespace nettor {

struct EngineState;
struct Model;

// Runs once per unfolding: tells the user, arranges the parts on one sheet,
// numbers the cut edges, opens the 3D copy of the model along its cuts and
// chooses the pattern scale that fits the sheet on one page.
void finishUnfolding(EngineState& engine, Model& model);

} // namespace nettor
