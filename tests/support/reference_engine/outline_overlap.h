#pragma once
// The straightforward overlap test of the reference engine: a part's outline
// collected once, then every prospective face tested against all of it. The
// production engine keeps the same verdicts incrementally in PartGrowthIndex.
#include "model/unfold_records.h"
#include "support/reference_engine/outline_grid.h"

#include <span>
#include <vector>

namespace nettor {

struct EngineState;
struct UnfoldedPart;
struct Face;
struct Edge;

// The outline of a part: the sides of its placed faces that have no fold
// partner, and the placed faces themselves, collected once so that many
// prospective faces can be tested against them while the part does not
// change.

struct PartOutline {
    struct Segment {
        const Face* face;
        PatternPoint from, to;
    };
    std::vector<Segment> segments;       // faces in part order, sides in loop order
    std::vector<OutlineGrid::Box> boxes; // the box of each segment
    OutlineGrid grid;                    // over the boxes, where it pays

    std::vector<const Face*> faces;          // the placed faces in part order
    std::vector<OutlineGrid::Box> faceBoxes; // the box of each placed face
    OutlineGrid faceGrid;                    // over the face boxes, where it pays
};

PartOutline collectOutline(const UnfoldedPart& part);
// The same into an outline whose storage is reused.
void collectOutline(const UnfoldedPart& part, PartOutline& into);

// Does a prospective segment cross the outline of a part?

// True when P-Q crosses an outline segment (a side without fold partner) of
// a placed face of the part other than exceptFace.
bool crossesPartOutline(const EngineState& engine, const UnfoldedPart& part, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);
// The same against an outline collected before.
bool crossesPartOutline(const EngineState& engine, const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q);

// Would a prospective face overlap the placed faces of a part?

// True while the engine's overlapCheck is on, when the flat face with the
// given corners (in loop order) overlaps any placed face of the part the
// outline was collected from, the face it would join across a fold included
// (facesOverlap, with the tolerance of overlapTolerance for those corners).
// Only the placed faces whose boxes come within the tolerance of the new
// face's box are compared.
bool overlapsPart(const EngineState& engine, const PartOutline& outline, std::span<const PatternPoint> corners);

// Can the face across an edge join a part without overlapping it?

// face is the part's face on this side of edge. True when the face on the
// other side, laid flat across the edge exactly as attachFace would lay it,
// crosses no outline segment of the part (the face itself left out) with any
// of its new sides and fan diagonals, and overlaps no placed face of the
// part (that face included; overlapsPart). Nothing is stored.
bool canAttach(const EngineState& engine, const UnfoldedPart& part, const Face& face, const Edge& edge);
// The same against the part's outline collected before.
bool canAttach(const EngineState& engine, const PartOutline& outline, const Face& face, const Edge& edge);

// The overlap check's segment test: segmentsIntersect while the engine's
// overlapCheck is on, always false while it is off.
bool segmentsCross(const EngineState& engine, const PatternPoint& p1, const PatternPoint& p2, const PatternPoint& p3,
                   const PatternPoint& p4, double eps);

} // namespace nettor
