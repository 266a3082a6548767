#pragma once
// The finished pattern as an SVG document: the sheet with its 1.5 cm
// margins, one centimetre of the sheet to one centimetre of the page.
#include "model/mesh.h"
#include "pattern/output_target.h"
#include "state/settings.h"

#include <string>

namespace nettor {

// The sheet's extent with its margins, in centimetres.
double sheetWidthWithMarginsCm(const Model& model);
double sheetHeightWithMarginsCm(const Model& model);

std::string patternSvg(const Model& model, const Settings& settings, OutputTarget target);

} // namespace nettor
