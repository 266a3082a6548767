#pragma once
// What happens when a model has become current: it is prepared for
// unfolding and the unfolding counters start again.

namespace nettor {

struct EngineState;
struct Model;

// prepareForUnfolding, then: no face unfolded, totalFaceCount the model's
// face count, no part; finished, busy, cancelRequested and quiet cleared,
// invertAllowed set. undoAvailable is left as it is.
void takeUpModel(EngineState& engine, Model& model);

} // namespace nettor
