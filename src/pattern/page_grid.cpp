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

PageTile pageTile(const PageGrid& grid, int page)
{
    const int columns = grid.columns > 0 ? grid.columns : 1;
    const int pages = grid.pages() > 0 ? grid.pages() : 1;
    const int index = (page < 1 ? 1 : page > pages ? pages : page) - 1;
    PageTile tile;
    tile.column = index % columns;
    tile.row = index / columns;
    tile.originXCm = -kPageContentWidthCm * tile.column;
    tile.originYCm = -kPageContentHeightCm * tile.row;
    return tile;
}

int lastPrintPage(const PageGrid& grid, int requestedLastPage)
{
    const int pages = grid.pages() > 0 ? grid.pages() : 1;
    if (requestedLastPage < 1) return 1;
    return requestedLastPage > pages ? pages : requestedLastPage;
}

} // namespace nettor
