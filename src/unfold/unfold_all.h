#pragma once
// Automatic unfolding of every face that is not placed yet.

namespace nettor {

struct EngineState;
struct Model;

// Grows the existing parts, then starts a part at each unplaced face in model
// order and grows it. Checks cancelRequested before each face; returns true
// when it stopped because of it (what was placed stays placed).
bool unfoldAll(EngineState& engine, Model& model);

} // namespace nettor
