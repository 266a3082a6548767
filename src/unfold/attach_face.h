#pragma once
// Growing a part across one of its candidate edges.

namespace nettor {

struct EngineState;
struct Edge;

// Lays the unplaced face across edge flat beside its placed neighbour, joins
// the two across the edge (they share that edge's points and corner copies)
// and re-evaluates the part. Completes the unfolding when this was the last
// face. An edge that does not join a placed face to an unplaced one changes
// nothing.
void attachFace(EngineState& engine, Edge& edge);

} // namespace nettor
