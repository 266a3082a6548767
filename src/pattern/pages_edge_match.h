#pragma once
// Where the two sides of a cut lie on the pages, for the user looking for
// the edge that carries the same number.
#include "pattern/pages_layout.h"

#include <string>

namespace nettor {

struct EdgeSidesOnPages {
    int number = -1;
    int firstPage = 0, secondPage = 0; // 0 where a side lies in no piece
};

EdgeSidesOnPages edgeSidesOnPages(const PagesLayout& layout, const Edge& edge);

// "Edge 37: page 2 ↔ page 5"; empty for an edge without a number.
std::string edgeMatchText(const PagesLayout& layout, const Edge& edge);

} // namespace nettor
