#pragma once
// The part that is growing, as the 2D view shows it before the unfolding is
// finished: one normalised unit is patternScale pixels, and the part keeps
// its view origin and bounding box in screen pixels (UnfoldedPart's
// viewOrigin and min/max fields), so that it stays in sight as it grows.
#include "pattern/canvas.h"

namespace nettor {

struct UnfoldedPart;
struct SheetView;

// Takes the faces of the part from index `firstFace` on, in placement order,
// into its view origin and box: the part's first face puts the origin at
// the window centre; a box reaching left of or above the window moves the
// part a quarter window in; a box beyond the scrolled area doubles that
// area. Returns true when the whole part must be drawn afresh (the origin
// moved or the area grew); a face that only widened the box returns false.
bool followGrowingPart(UnfoldedPart& part, double patternScale, SheetView& view, int firstFace);

// Every edge of every face of the part as a line at point x patternScale +
// view origin, with the selected pen.
void drawGrowingPart(const UnfoldedPart& part, double patternScale, Canvas& dc);

} // namespace nettor
