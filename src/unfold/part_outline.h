#pragma once
// The outline of a part: the sides of its placed faces that have no fold
// partner, and the placed faces themselves, collected once so that many
// prospective faces can be tested against them while the part does not
// change.
#include "model/unfold_records.h"
#include "unfold/outline_grid.h"

#include <vector>

namespace nettor {

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

} // namespace nettor
