#pragma once
// The whole unfolding as JSON, as `nettor-cli unfold --json` writes it; the
// project export writes the same.
#include <ostream>

namespace nettor {
struct Model;
struct PagesLayout;
}

namespace nettor::cli {

// Writes the JSON text (with its final newline); layout adds the Pages
// layout's members when given.
void writeUnfoldJson(std::ostream& out, const Model& model, double displayedScale, const PagesLayout* layout);

} // namespace nettor::cli
