#pragma once
// The engine's one 2D box: an axis-aligned extent on the pattern or the
// sheet, edges included, with the box of a face's corners and the test that
// two boxes lie apart.
#include "model/unfold_records.h"

#include <span>

namespace nettor {

struct GridBox {
    double minX, minY, maxX, maxY;
};

// The box of the corners (at least one). A corner that is not finite is
// passed over by the comparisons unless it is the first.
GridBox boxOfCorners(std::span<const PatternPoint> p);

// The boxes' extents overlap by no more than tolerance along x or along y:
// the x and y directions are directions like any other to move apart in.
bool boxesApart(const GridBox& a, const GridBox& b, double tolerance);

} // namespace nettor
