#pragma once
// Edge numbers drawn with the stroke digit font on a canvas.
#include "pattern/canvas.h"

namespace nettor {

// Draws a positive number with the selected pen; size is the glyph height in
// device units, the angle turns the digits about the anchor
// (counter-clockwise as seen on the device). 0 and negative numbers draw
// nothing. Points beyond the integer range are kept at its ends.
void drawStrokeNumber(Canvas& dc, int number, double size, double anchorX, double anchorY,
                      double angleDegrees);

} // namespace nettor
