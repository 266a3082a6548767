#include "pattern/flap_geometry.h"

#include "pattern/pattern_walk.h"

#include <cmath>

namespace nettor {

double flapHeightCm(const Model& model, const Settings& settings)
{
    double k = 0.1;
    if (settings.flapSize == static_cast<std::int32_t>(FlapSize::Large)) k = 0.18;
    else if (settings.flapSize == static_cast<std::int32_t>(FlapSize::Small)) k = 0.05;
    return k * model.averageEdgeLength * model.patternScale;
}

bool takeFlap(const HalfEdge& side, const Settings& settings, DrawnMarks& marks)
{
    const Edge& e = *side.edge;
    if (e.edgeId == -1 || (marks.drawn(e) && !settings.flapsBothSides)) {
        marks.setFlap(side, false);
        return false;
    }
    marks.setFlap(side, true);
    marks.markDrawn(e);
    return true;
}

DrawnMarks chooseFlaps(const Model& model, const Settings& settings)
{
    DrawnMarks marks(model);
    if (settings.createFlaps)
        forEachPatternSide(model, [&](const UnfoldedPart&, const Face&, const HalfEdge& side) {
            takeFlap(side, settings, marks);
        });
    marks.clearDrawn();
    return marks;
}

std::optional<std::array<SheetPoint, 4>> flapOutline(SheetPoint p0, SheetPoint p3, double h)
{
    const double length = std::hypot(p3.x - p0.x, p3.y - p0.y);
    if (!(length >= kMinFlapSideCm)) return std::nullopt;
    const double dx = (p3.x - p0.x) / length;
    const double dy = (p3.y - p0.y) / length;
    const SheetPoint p1{p0.x + h * dx + h * dy, p0.y + h * dy - h * dx};
    const SheetPoint p2{p3.x - h * dx + h * dy, p3.y - h * dy - h * dx};
    return std::array<SheetPoint, 4>{p0, p1, p2, p3};
}

} // namespace nettor
