#pragma once
// Growing one part as far as it goes.

namespace nettor {

struct EngineState;
struct UnfoldedPart;

// Attaches the part's best candidate again and again until it has none.
// Returns true when it stopped because cancelRequested was set.
bool growPart(EngineState& engine, UnfoldedPart& part);

} // namespace nettor
