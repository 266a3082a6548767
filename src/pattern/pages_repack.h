#pragma once
// Packing again around pieces the user has placed: the pieces marked fixed
// stay where they are, and the others go, in the layout's order, to the
// first page with room (topmost, then leftmost), keeping the gap from every
// piece already there. Pages are added as needed; pages left empty at the
// end are dropped.
#include "pattern/pages_layout.h"

#include <vector>

namespace nettor {

// fixed holds one flag for each piece. Returns false, and leaves the
// layout as it was, when a loose piece fits no empty page.
bool repackAroundFixed(PagesLayout& layout, const std::vector<char>& fixed);

} // namespace nettor
