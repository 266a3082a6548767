#pragma once
// The whole result of an unfolding as JSON, as nettor-cli unfold --json
// writes it: the scales and the sheet, the parts with their faces, every
// face with its corners (3D position and pattern point), every edge with
// its state, number, fold angle and faces; with a Pages layout also the
// layout, each part's page and placement and each corner on its page.
#include "pattern/pages_layout.h"

#include <string>

namespace nettor {

struct Model;

// The text, indented by one space per level, ending with a line break.
std::string unfoldingJson(const Model& model, double displayedScale, const PagesLayout* pages = nullptr);

} // namespace nettor
