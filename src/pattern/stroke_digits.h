#pragma once
// The stroke digit font: each digit 0..9 is a polyline program of up to 18
// points on a grid 5 wide (x 0..4) and 9 high (y 0..8, downwards). The first
// point is a move, each later point a line from the previous one, and a
// point (-1, -1) lifts the pen so that the next real point is a move.
#include <array>
#include <vector>

namespace nettor {

struct GlyphPoint {
    int x = -1;
    int y = -1;
    bool isPenLift() const { return x == -1 && y == -1; }
};

using StrokeDigitGlyph = std::array<GlyphPoint, 18>;

const StrokeDigitGlyph& strokeDigitGlyph(int digit); // digit 0..9

// Offset from the anchor of one glyph point, before rotation, in the units
// of the size (y downwards).
struct StrokeOffset {
    double u = 0.0;
    double v = 0.0;
};

// The strokes of one digit: each polyline starts with a move.
using DigitStrokes = std::vector<std::vector<StrokeOffset>>;

// The digits of a positive number laid out with the stroke font: they read
// left to right, centred on the anchor, their tops 1.2 x size and their
// bottoms 0.2 x size above it. The list runs in drawing order, the last
// digit first. Empty for 0 and negative numbers.
std::vector<DigitStrokes> strokeNumberLayout(int number, double size);

} // namespace nettor
