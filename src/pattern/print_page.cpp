#include "pattern/print_page.h"

#include "pattern/draw_pattern.h"

namespace nettor {

void drawPrintPage(const Model& model, const Settings& settings, Canvas& dc, double unitsPerCmX,
                   double unitsPerCmY, int page)
{
    const PageGrid grid = pageGrid(model);
    const PageTile tile = pageTile(grid, page);
    drawPattern(model, settings, dc, unitsPerCmX, unitsPerCmY, OutputTarget::Printer,
                tile.originXCm * unitsPerCmX, tile.originYCm * unitsPerCmY, grid.pages());
}

} // namespace nettor
