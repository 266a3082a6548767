#pragma once
// Re-evaluating the outline edges of a part.

namespace nettor {

struct UnfoldedPart;

// Gives every two-sided, unmarked edge of the part's faces its state: Fold
// or Cut when the face across it is placed, Blocked when closing or when
// that face cannot be attached without overlap, Candidate otherwise; the
// candidate of highest (positive) priority becomes bestCandidate, the first
// one met winning ties. Tells the user when a growing part is stuck.
void updateCandidates(UnfoldedPart& part, bool closing);

} // namespace nettor
