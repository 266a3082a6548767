#pragma once
// How a printed pattern is split over A4 pages: each page shows an
// 18 x 26.7 cm window of the sheet, columns left to right, then rows.
#include "model/mesh.h"

namespace nettor {

inline constexpr double kPageWidthCm = 21.0;
inline constexpr double kPageHeightCm = 29.7;
inline constexpr double kPageContentWidthCm = 18.0;
inline constexpr double kPageContentHeightCm = 26.7;

struct PageGrid {
    int columns = 1;
    int rows = 1;
    int pages() const { return columns * rows; }
};

// From the pattern's extent in whole centimetres.
PageGrid pageGrid(const Model& model);

} // namespace nettor
