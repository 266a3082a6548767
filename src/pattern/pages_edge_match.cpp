#include "pattern/pages_edge_match.h"

#include "pattern/pages_flap_edit.h"

namespace nettor {

EdgeSidesOnPages edgeSidesOnPages(const PagesLayout& layout, const Edge& edge)
{
    EdgeSidesOnPages sides;
    sides.number = layout.edgeNumber(edge);
    const auto pageOf = [&](const HalfEdge* side) {
        const int piece = side ? pieceOfSide(layout, *side) : -1;
        return piece < 0 ? 0 : layout.pieces[static_cast<std::size_t>(piece)].page;
    };
    sides.firstPage = pageOf(edge.halfEdge1);
    sides.secondPage = pageOf(edge.halfEdge2);
    return sides;
}

std::string edgeMatchText(const PagesLayout& layout, const Edge& edge)
{
    const EdgeSidesOnPages sides = edgeSidesOnPages(layout, edge);
    if (sides.number < 0 || !sides.firstPage || !sides.secondPage) return {};
    return "Edge " + std::to_string(sides.number) + ": page " + std::to_string(sides.firstPage) + " \u2194 page " +
           std::to_string(sides.secondPage);
}

} // namespace nettor
