#include "pattern/drawn_marks.h"

#include <algorithm>

namespace nettor {

DrawnMarks::DrawnMarks(const Model& model) : drawn_(model.nextEdgeIndex, 0), flaps_(model.nextHalfEdgeIndex, 0) {}

void DrawnMarks::clearDrawn()
{
    std::fill(drawn_.begin(), drawn_.end(), std::uint8_t{0});
}

} // namespace nettor
