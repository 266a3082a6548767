#pragma once
// Beginning a new part of the pattern.

namespace nettor {

struct EngineState;
struct Face;

// Lays the face flat as the first face of a new part (first corner at the
// origin, second on the positive x axis), closes the part grown so far and
// makes the new one current. Completes the unfolding when this was the last
// face. A face that is already placed changes nothing.
void startPart(EngineState& engine, Face& face);

} // namespace nettor
