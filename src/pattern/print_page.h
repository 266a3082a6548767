#pragma once
// One printed page of the pattern: the page's window of the sheet drawn with
// the printer target, with registration marks when the job has more than
// one page. Printing, print preview and the PDF pages all draw this.
#include "model/mesh.h"
#include "pattern/canvas.h"
#include "pattern/page_grid.h"
#include "state/settings.h"

namespace nettor {

// Page p (1-based) of the model's page grid at unitsPerCm device units per
// centimetre of the page, whose top-left corner is the device origin.
void drawPrintPage(const Model& model, const Settings& settings, Canvas& dc, double unitsPerCmX,
                   double unitsPerCmY, int page);

} // namespace nettor
