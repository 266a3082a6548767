#pragma once
// Glue flaps: which sides of cut edges carry one, and the flap's outline.
#include "model/mesh.h"
#include "pattern/drawn_marks.h"
#include "pattern/sheet_coordinates.h"
#include "state/settings.h"

#include <array>
#include <optional>

namespace nettor {

inline constexpr double kMinFlapSideCm = 1e-6;

// Flap height in centimetres: 0.18, 0.1 or 0.05 (Large, Normal, Small; any
// other size counts as Normal) x averageEdgeLength x patternScale.
double flapHeightCm(const Model& model, const Settings& settings);

// Decides the flap of one side during the flap pass and records it in the
// drawing's marks: numbered edges only, and only the first side met unless
// flaps go on both sides. Marks the edge drawn when a flap is given.
bool takeFlap(const HalfEdge& side, const Settings& settings, DrawnMarks& marks);

// The marks a drawing carries out of its flap pass: the sides with a flap
// when flaps are on (none when they are off), every edge's drawn mark clear.
DrawnMarks chooseFlaps(const Model& model, const Settings& settings);

// The flap standing on the side from p0 to p3, on the side (dy, -dx) of its
// direction: p0, p1, p2, p3 with 45-degree sides of height h. None when the
// side is shorter than 1e-6 cm.
std::optional<std::array<SheetPoint, 4>> flapOutline(SheetPoint p0, SheetPoint p3, double h);

} // namespace nettor
