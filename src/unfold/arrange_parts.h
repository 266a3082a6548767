#pragma once
// Laying the parts out side by side on one sheet.

namespace nettor {

struct Model;

// Sets each part's bounding box, inflated extents and offset, largest part
// first, so that the inflated boxes never overlap and the sheet stays close
// to the 1 : 1.414 proportion of a portrait page; then the sheet size.
void arrangeParts(Model& model);

} // namespace nettor
