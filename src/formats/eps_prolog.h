#pragma once
// The fixed PostScript procedure set of the EPS files, one definition per
// line, and the product word used in the header, the prolog and the setup.
#include <string>
#include <vector>

namespace nettor {

inline constexpr const char* kEpsProductName = "Nettor";

// The procedure definitions, in the order the prolog defines them.
const std::vector<std::string>& epsProcedureDefinitions();

} // namespace nettor
