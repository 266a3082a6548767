#pragma once
// How one side of an edge is drawn in the line pass: not at all, as a cut
// line, or as a fold line in the ridge or valley style.
#include "model/mesh.h"
#include "pattern/drawn_marks.h"
#include "state/settings.h"

namespace nettor {

// Folds flatter than this (degrees) are omitted when omitFlatEdges is on.
inline constexpr double kFlatFoldAngle = 178.0;

enum class LineKind { Skip, Cut, Ridge, Valley };

// The skip rules (an unnumbered edge already drawn from its other side; an
// almost flat unnumbered edge with omitFlatEdges) and the classification:
// a fold for an unnumbered edge with two sides or for a flapped side, else
// a cut line (numbered sides without a flap, border edges). The marks are
// the drawing's: the edges drawn so far and the flap pass's flaps.
LineKind classifyLine(const HalfEdge& side, const Settings& settings, const DrawnMarks& marks);

// The style of a fold line; a stored style outside Line, Dot, None is drawn
// as a solid line so that the fold stays visible.
FoldLineStyle foldLineStyle(LineKind kind, const Settings& settings);

} // namespace nettor
