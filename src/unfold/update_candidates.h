#pragma once
// The candidates of a part: how eagerly each is joined across, and
// re-evaluating the outline edges of a part.
#include <cstdint>

namespace nettor {

struct EngineState;
struct UnfoldedPart;
struct Face;
struct Edge;

// Strategy 0 prefers the flattest edge (its fold angle), strategy 1 the
// longest (its length), strategy 2 the length weighted by the flatness; any
// other value behaves as strategy 1.
double candidatePriority(const Edge& edge, std::int32_t strategy);

// Gives every two-sided, unmarked edge of the part's faces its state: Fold
// or Cut when the face across it is placed, Blocked when closing or when
// that face cannot be attached without overlap, Candidate otherwise; the
// candidate of highest (positive) priority becomes bestCandidate, the first
// one met winning ties. Tells the user when a growing part is stuck.
// Walks the whole part, and keeps what it found for the next placement.
void updateCandidates(EngineState& engine, UnfoldedPart& part, bool closing);

// The same right after attachFace placed `placed` as the part's newest
// face: gives the same states and bestCandidate, re-testing only the open
// edges near the new face. Walks the whole part when anything else has
// changed since the part was last evaluated.
void updateCandidatesAfterAttach(EngineState& engine, UnfoldedPart& part, Face& placed);

} // namespace nettor
