#pragma once
// The finished pattern as a PDF of the pages a print job prints: one A4
// page per window of the page grid, with registration marks when there is
// more than one.
#include "model/mesh.h"
#include "state/settings.h"

#include <ostream>

namespace nettor {

void writePatternPdf(const Model& model, const Settings& settings, std::ostream& out);

} // namespace nettor
