#pragma once
// The pattern as an Encapsulated PostScript file: DSC header, procedure set,
// setup, then flaps, faces, lines and edge numbers, following the same
// decisions as drawPattern. One sheet centimetre is 200/7 PostScript units.
#include "model/mesh.h"
#include "state/settings.h"

#include <cstdint>
#include <ostream>

namespace nettor {

inline constexpr double kEpsUnitsPerCm = 28.571428571428573;

// Every element starts with "\n"; the file does not end with a line break.
// Numbers are formatted as a default C++ stream formats them.
void writeEps(const Model& model, const Settings& settings, std::ostream& out);
// The same, with the faces written on a second thread from this many faces
// on (the first form: 2,000); the text does not depend on it.
void writeEps(const Model& model, const Settings& settings, std::ostream& out, std::int32_t facesForTwoThreads);

} // namespace nettor
