#include "unfold/finish_unfolding.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/arrange_parts.h"
#include "unfold/number_cut_edges.h"
#include "unfold/separate_corners.h"

#include <cmath>

namespace nettor {

namespace {
constexpr double kPageWidth = 18.0;   // cm of printable width
constexpr double kPageHeight = 26.7;  // cm of printable height
} // namespace

void finishUnfolding(Model& model)
{
    AppState& state = appState();
    UnfoldStatus& status = state.status;
    if (status.finished) return;
    status.finished = true;
    if (!status.quiet) showMessage("All faces are unfolded.");

    arrangeParts(model);
    numberCutEdges(model);
    separateCorners(model);
    invalidateModelView();

    // A sheet without extent in one direction fits any scale that way; a
    // sheet without any extent keeps the scale it has.
    const double byHeight = kPageHeight / model.sheetHeight;
    const double byWidth = kPageWidth / model.sheetWidth;
    const bool heightFits = std::isfinite(byHeight) && byHeight > 0.0;
    const bool widthFits = std::isfinite(byWidth) && byWidth > 0.0;
    if (heightFits && widthFits)
        model.patternScale = 0.9 * (byHeight < byWidth ? byHeight : byWidth);
    else if (heightFits || widthFits)
        model.patternScale = 0.9 * (heightFits ? byHeight : byWidth);
    state.displayedScale = model.patternScale * model.unitScale;

    if (!status.quiet)
        sendHint(10);
    else
        repaintPatternView();
}

} // namespace nettor
