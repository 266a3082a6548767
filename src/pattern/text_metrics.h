#pragma once
// Text extents for surfaces without a font engine (the SVG writer).
//
// Approximation of Arial: the advance widths of the printable ASCII
// characters are the standard Arial/Helvetica metrics in thousandths of an
// em (digits 556, space 278, ...); other bytes count as 556. A font of cell
// height H (ascent plus descent, as a device font height is given) has an em
// of H x 2048 / 2288 (Arial's units per em over its ascent 1854 plus descent
// 434), and its baseline lies 1854 / 2288 x H below the top of the cell.
#include <string>

namespace nettor {

// Em size of an Arial font whose cell is this high.
double arialEmForCellHeight(double cellHeight);
// Distance from the top of the cell to the baseline.
double arialAscentForCellHeight(double cellHeight);
// Advance width of the text in an Arial font of this cell height.
double arialTextWidth(const std::string& text, double cellHeight);

} // namespace nettor
