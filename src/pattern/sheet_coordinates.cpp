#include "pattern/sheet_coordinates.h"

namespace nettor {

SheetPoint sheetPoint(const Model& model, const UnfoldedPart& part, const PatternPoint& point)
{
    return {(part.offsetX + point.x) * model.patternScale + kSheetMarginCm,
            (part.offsetY + point.y) * model.patternScale + kSheetMarginCm};
}

} // namespace nettor
