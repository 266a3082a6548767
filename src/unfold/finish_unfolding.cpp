#include "unfold/finish_unfolding.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "state/paper.h"
#include "unfold/arrange_parts.h"
#include "unfold/number_cut_edges.h"
#include "unfold/separate_corners.h"

#include <cmath>

namespace nettor {

namespace {

// A sheet without extent in one direction fits any scale that way; a sheet
// without any extent keeps the scale it has.
void fitScaleToPage(EngineState& engine, Model& model)
{
    const double byHeight = kPageContentHeightCm / model.sheetHeight;
    const double byWidth = kPageContentWidthCm / model.sheetWidth;
    const bool heightFits = std::isfinite(byHeight) && byHeight > 0.0;
    const bool widthFits = std::isfinite(byWidth) && byWidth > 0.0;
    if (heightFits && widthFits)
        model.patternScale = 0.9 * (byHeight < byWidth ? byHeight : byWidth);
    else if (heightFits || widthFits)
        model.patternScale = 0.9 * (heightFits ? byHeight : byWidth);
    engine.displayedScale = model.patternScale * model.unitScale;
}

} // namespace

void finishUnfolding(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    if (status.finished) return;
    status.finished = true;
    if (!status.quiet) engine.message("All faces are unfolded.");

    // The arrangement neither reads nor changes what the numbering and the
    // opening of the 3D copy do, so it may come after them.
    if (!engine.arrangeSheetLater) arrangeParts(model);
    status.busy = false;
    numberCutEdges(model);
    separateCorners(model);
    engine.invalidateModelView();
    if (!engine.arrangeSheetLater) fitScaleToPage(engine, model);

    if (!status.quiet)
        engine.notify(ViewChange::UnfoldingFinished);
    else
        engine.repaintPatternView();
}

void arrangeSheet(EngineState& engine, Model& model)
{
    arrangeParts(model);
    fitScaleToPage(engine, model);
}

} // namespace nettor
