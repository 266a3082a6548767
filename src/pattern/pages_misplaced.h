#pragma once
// Which pieces of a Pages layout are misplaced: a piece whose faces or
// flaps overlap another piece on its page, or that leaves its page's
// printable area. The layout itself never misplaces a piece; the user may.
#include "pattern/pages_layout.h"

#include <vector>

namespace nettor {

// The polygons a piece covers on its page: its faces, then its flaps.
std::vector<std::vector<MmPoint>> pieceShapesOnPage(const PagesLayout& layout, const LaidOutPiece& piece);

// One flag for each piece, in the layout's order.
std::vector<char> misplacedPieces(const PagesLayout& layout);

} // namespace nettor
