#pragma once
// The user's choices of glue flaps on the pages: a flap moved to the other
// side of its cut, hidden, or shown again. A flap is shown by its presence
// in its piece's flaps, so the choices are saved with the layout.
#include "pattern/pages_layout.h"

#include <functional>

namespace nettor {

struct FlapAt {
    int piece = -1;
    const HalfEdge* side = nullptr; // the side the flap stands on
};

// The flap under a point of a page; none when there is no flap there.
FlapAt flapAt(const PagesLayout& layout, int page, MmPoint onPage);

// The placed side of a piece on the page within toleranceMm of a point, the
// nearest of those wanted; null for none.
const HalfEdge* nearestSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm,
                              const std::function<bool(const HalfEdge&)>& wanted);

// The side of a cut (one that carries a number on the pages) within
// toleranceMm of a point of a page, the nearest; null for none.
const HalfEdge* cutSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm);

// The piece a side's face lies in, -1 for none.
int pieceOfSide(const PagesLayout& layout, const HalfEdge& side);
// Whether a flap stands on the side.
bool hasLayoutFlap(const PagesLayout& layout, const HalfEdge& side);

// Moves the flap of the cut from whichever of its two sides carries it to
// the other; false when neither does.
bool flipLayoutFlap(PagesLayout& layout, const HalfEdge& side);
// Hides the flap of the cut, on whichever side it stands; false when
// there is none.
bool hideLayoutFlap(PagesLayout& layout, const HalfEdge& side);
// Shows a full-size flap on this side of the cut when neither side has
// one; false otherwise.
bool showLayoutFlap(PagesLayout& layout, const HalfEdge& side);

} // namespace nettor
