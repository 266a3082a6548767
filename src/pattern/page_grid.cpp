#include "pattern/page_grid.h"

#include <cmath>

namespace nettor {

namespace {

int pageCountAlong(double extentCm, double windowCm)
{
    // A non-finite or absurd extent cannot be split into pages; treat it as
    // one page rather than overflowing the integer.
    if (!std::isfinite(extentCm) || extentCm < 0.0 || extentCm > 1e6) return 1;
    const double whole = std::trunc(extentCm);
    return static_cast<int>(whole / windowCm + 1.0);
}

} // namespace

PageGrid pageGrid(const Model& model)
{
    PageGrid grid;
    grid.columns = pageCountAlong(model.sheetWidth * model.patternScale, kPageContentWidthCm);
    grid.rows = pageCountAlong(model.sheetHeight * model.patternScale, kPageContentHeightCm);
    return grid;
}

} // namespace nettor
