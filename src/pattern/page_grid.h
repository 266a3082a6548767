#pragma once
// How a printed pattern is split over A4 pages: each page shows an
// 18 x 26.7 cm window of the sheet, columns left to right, then rows.
#include "model/mesh.h"
#include "state/paper.h"

namespace nettor {

struct PageGrid {
    int columns = 1;
    int rows = 1;
    int pages() const { return columns * rows; }
};

// From the pattern's extent in whole centimetres.
PageGrid pageGrid(const Model& model);

// The sheet window a page of the job shows.
struct PageTile {
    int column = 0;
    int row = 0;
    // Where the sheet's origin lies on the page, in centimetres: minus the
    // window's top-left corner on the sheet.
    double originXCm = 0.0;
    double originYCm = 0.0;
};

// Page 1 is the top-left window; pages run left to right, then downwards.
// A page outside 1..pages() is clamped into that range.
PageTile pageTile(const PageGrid& grid, int page);

// The last page of a print job, lowered to the page count of the grid (and
// at least the first page).
int lastPrintPage(const PageGrid& grid, int requestedLastPage);

} // namespace nettor
