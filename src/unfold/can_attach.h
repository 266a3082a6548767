#pragma once
// Can the face across an edge join a part without overlapping it?

namespace nettor {

struct UnfoldedPart;
struct Face;
struct Edge;
struct PartOutline;

// face is the part's face on this side of edge. True when the face on the
// other side, laid flat across the edge exactly as attachFace would lay it,
// crosses no outline segment of the part (the face itself left out) with any
// of its new sides and fan diagonals, and overlaps no placed face of the
// part (that face included; overlapsPart). Nothing is stored.
bool canAttach(const UnfoldedPart& part, const Face& face, const Edge& edge);
// The same against the part's outline collected before.
bool canAttach(const PartOutline& outline, const Face& face, const Edge& edge);

} // namespace nettor
