#pragma once
// Joining two parts of a finished unfolding across one of the model's cuts:
// the other part is turned and moved so that its side of the cut meets the
// side given, and the cut becomes a fold. The faces keep their corner
// records; only their places on the pattern change.
#include "model/unfold_records.h"

#include <memory>

namespace nettor {

struct HalfEdge;
struct Model;

// A turn about the pattern's origin (x towards y) followed by a shift.
struct PatternMotion {
    double degrees = 0.0;
    PatternPoint shift;
    PatternPoint apply(const PatternPoint& p) const;
};

enum class PartJoinResult {
    Joined,
    NotACut,  // not a cut between two placed faces
    SamePart, // both sides in one part: they cannot meet without tearing it
    Overlap,  // the joined faces would overlap
};

struct PartJoin {
    PartJoinResult result = PartJoinResult::NotACut;
    int keptPart = -1;    // the side's part, as numbered before the join
    int removedPart = -1; // the other part, taken out of the model
    PatternMotion motion; // what moved the other part's pattern
    // The part taken out; its faces are the kept part's now. The caller
    // keeps it while an undo may put it back.
    std::unique_ptr<UnfoldedPart> removed;
};

// Whether the edge is one of the model's cuts: cut by the unfolding, or
// marked to be cut by the user.
bool isModelCut(EdgeState state);

// The motion that lays the twin's part onto the side's part across the cut;
// false when the side is no cut between two parts.
bool motionAcrossCut(const HalfEdge& side, PatternMotion& motion);

// Joins the side's part and its twin's part across the side's edge (a cut
// of a finished unfolding, isModelCut). With overlapCheck, faces of the two parts that
// would overlap refuse the join and nothing changes. On a join the edge
// becomes a Fold without a number, the two sides share their corners, the
// corner copies there close the gap in the 3D view, and the parts are
// arranged again on the one sheet.
PartJoin joinPartsAcrossCut(Model& model, HalfEdge& side, bool overlapCheck);

} // namespace nettor
