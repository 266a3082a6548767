#include "formats/pattern_svg.h"

#include "formats/svg_canvas.h"
#include "pattern/draw_pattern.h"
#include "pattern/sheet_coordinates.h"

namespace nettor {

namespace {
constexpr double kSvgUnitsPerCm = 100.0;
}

double sheetWidthWithMarginsCm(const Model& model)
{
    return model.sheetWidth * model.patternScale + 2 * kSheetMarginCm;
}

double sheetHeightWithMarginsCm(const Model& model)
{
    return model.sheetHeight * model.patternScale + 2 * kSheetMarginCm;
}

std::string patternSvg(const Model& model, const Settings& settings, OutputTarget target)
{
    SvgCanvas svg(sheetWidthWithMarginsCm(model), sheetHeightWithMarginsCm(model), kSvgUnitsPerCm);
    drawPattern(model, settings, svg, kSvgUnitsPerCm, kSvgUnitsPerCm, target, 0, 0);
    return svg.document();
}

} // namespace nettor
