#include "pattern/line_classification.h"

namespace nettor {

LineKind classifyLine(const HalfEdge& side, const Settings& settings, const DrawnMarks& marks)
{
    const Edge& e = *side.edge;
    const bool numbered = e.edgeId != -1;
    if (marks.drawn(e) && !numbered) return LineKind::Skip;
    if (settings.omitFlatEdges && !numbered && e.foldAngle > kFlatFoldAngle) return LineKind::Skip;
    const bool fold = (!numbered && e.halfEdge1 && e.halfEdge2) || marks.hasFlap(side);
    if (!fold) return LineKind::Cut;
    return e.isRidge == 1 ? LineKind::Ridge : LineKind::Valley;
}

FoldLineStyle foldLineStyle(LineKind kind, const Settings& settings)
{
    const std::int32_t style = kind == LineKind::Ridge ? settings.ridgeStyle : settings.valleyStyle;
    if (style == static_cast<std::int32_t>(FoldLineStyle::Dot)) return FoldLineStyle::Dot;
    if (style == static_cast<std::int32_t>(FoldLineStyle::None)) return FoldLineStyle::None;
    return FoldLineStyle::Line;
}

} // namespace nettor
