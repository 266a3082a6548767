#pragma once
// What the overlap test needs to know of a flat face: its area, whether it
// is convex, and its cutting into triangles where it is not.
#include "model/unfold_records.h"
#include "unfold/grid_box.h"

#include <span>
#include <vector>

namespace nettor {

// Twice the signed area of the polygon: positive when its corners turn left.
double twiceSignedArea(std::span<const PatternPoint> p);

// Convex: no corner turns against the sense of the whole (1 for left, -1 for
// right), and the sides turn round once.
bool isConvexPolygon(std::span<const PatternPoint> p, double sense);

// Cuts a simple polygon of the given sense into triangles (ear clipping),
// appended to out three corners each. Corners on a line, and rounding that
// leaves no clean ear, cost at most slivers, never a triangle outside the
// polygon where a clean ear exists.
void triangulatePolygon(std::span<const PatternPoint> p, double sense, std::vector<PatternPoint>& out);

} // namespace nettor
