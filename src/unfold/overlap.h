#pragma once
// The overlap check's geometry: do two faces laid flat overlap (their
// areas, not only their sides), and do two segments cross.
#include "model/unfold_records.h"

#include <span>

namespace nettor {

// Rounding tolerance of the overlap test, in normalised model units. The
// model fits the cube from -1 to 1, so this is a billionth of its size;
// rounding in the placed corners (a chain of placements away from the start
// face) stays far below it, and no overlap a pattern could show is as thin.
// Far from a part's origin rounding grows with the coordinates, and the
// tolerance grows with them: see overlapTolerance.
constexpr double kOverlapTolerance = 1e-9;

// The tolerance for a face with the given corners: kOverlapTolerance, times
// the largest coordinate magnitude where that exceeds 1.
double overlapTolerance(std::span<const PatternPoint> corners);

// True when the interiors of the two flat faces overlap deeper than
// tolerance. Each face is its corners in loop order, either sense; it may
// be non-convex, but not self-crossing. A non-convex face is cut into
// triangles first, and two faces overlap when a convex piece of one and a
// convex piece of the other do. The depth of an overlap of two convex
// pieces is the shortest move that takes them apart (the least overlap of
// their extents over the directions square to their sides). So faces
// sharing a side or a corner, or whose sides merely touch, overlap by
// nothing but rounding; a face on top of another, sides coinciding,
// overlaps by its whole width. Faces without area (fewer than three
// corners, all corners on a line) overlap nothing.
bool facesOverlap(std::span<const PatternPoint> a, std::span<const PatternPoint> b, double tolerance);

// True when P1-P2 and P3-P4 cross at a point that lies, on both segments,
// at least the fraction eps away from their ends. Parallel and collinear
// segments, and segments of zero length, never cross.
bool segmentsIntersect(const PatternPoint& p1, const PatternPoint& p2, const PatternPoint& p3,
                       const PatternPoint& p4, double eps);

} // namespace nettor
