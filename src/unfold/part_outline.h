#pragma once
// The outline of a part: the sides of its placed faces that have no fold
// partner, collected once so that many prospective faces can be tested
// against it while the part does not change.
#include "model/unfold_records.h"

#include <vector>

namespace nettor {

struct PartOutline {
    struct Segment {
        const Face* face;
        PatternPoint from, to;
    };
    std::vector<Segment> segments; // faces in part order, sides in loop order
};

PartOutline collectOutline(const UnfoldedPart& part);

} // namespace nettor
