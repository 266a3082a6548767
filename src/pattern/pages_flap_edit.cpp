#include "pattern/pages_flap_edit.h"

#include "pattern/pages_flaps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nettor {

namespace {

LayoutFlap* flapOnSide(PagesLayout& layout, const HalfEdge& side)
{
    const int piece = pieceOfSide(layout, side);
    if (piece < 0) return nullptr;
    auto& flaps = layout.pieces[static_cast<std::size_t>(piece)].flaps;
    const auto it = std::find_if(flaps.begin(), flaps.end(), [&](const LayoutFlap& f) { return f.side == &side; });
    return it == flaps.end() ? nullptr : &*it;
}

bool eraseFlapOn(PagesLayout& layout, const HalfEdge& side)
{
    const int piece = pieceOfSide(layout, side);
    if (piece < 0) return false;
    auto& flaps = layout.pieces[static_cast<std::size_t>(piece)].flaps;
    const auto it = std::find_if(flaps.begin(), flaps.end(), [&](const LayoutFlap& f) { return f.side == &side; });
    if (it == flaps.end()) return false;
    flaps.erase(it);
    return true;
}

bool addFlapOn(PagesLayout& layout, const HalfEdge& side)
{
    const int piece = pieceOfSide(layout, side);
    if (piece < 0 || !side.point || !side.next || !side.next->point) return false;
    const double h = layout.flapHeightMm;
    const auto shape = layoutFlapShape(layout.local(*side.point), layout.local(*side.next->point), h, h);
    if (!shape) return false;
    LayoutFlap flap;
    flap.side = &side;
    flap.corners = *shape;
    layout.pieces[static_cast<std::size_t>(piece)].flaps.push_back(flap);
    return true;
}

bool isCut(const PagesLayout& layout, const HalfEdge& side)
{
    return side.edge && side.twin && layout.edgeNumber(*side.edge) >= 0 && !layout.joined(side);
}

} // namespace

int pieceOfSide(const PagesLayout& layout, const HalfEdge& side)
{
    const Face* face = side.loop ? side.loop->face : nullptr;
    if (!face) return -1;
    for (std::size_t i = 0; i < layout.pieces.size(); ++i)
        for (const Face* f : layout.pieces[i].faces)
            if (f == face) return static_cast<int>(i);
    return -1;
}

bool hasLayoutFlap(const PagesLayout& layout, const HalfEdge& side)
{
    return flapOnSide(const_cast<PagesLayout&>(layout), side) != nullptr;
}

FlapAt flapAt(const PagesLayout& layout, int page, MmPoint onPage)
{
    for (int i = static_cast<int>(layout.pieces.size()) - 1; i >= 0; --i) {
        const LaidOutPiece& piece = layout.pieces[static_cast<std::size_t>(i)];
        if (piece.page != page) continue;
        for (const LayoutFlap& flap : piece.flaps) {
            std::vector<MmPoint> polygon;
            for (std::size_t k = 0; k < flap.corners.size(); ++k)
                if (k != 2 || !(flap.corners[2] == flap.corners[1])) polygon.push_back(piece.onPage(flap.corners[k]));
            if (insidePolygon(onPage, polygon)) return {i, flap.side};
        }
    }
    return {};
}

const HalfEdge* nearestSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm,
                              const std::function<bool(const HalfEdge&)>& wanted)
{
    const HalfEdge* best = nullptr;
    double bestDistance = toleranceMm;
    for (const LaidOutPiece& piece : layout.pieces) {
        if (piece.page != page) continue;
        for (const Face* face : piece.faces)
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                if (!h || !h->point || !h->next || !h->next->point || !wanted(*h)) continue;
                const MmPoint a = piece.onPage(layout.local(*h->point));
                const MmPoint b = piece.onPage(layout.local(*h->next->point));
                const double d = segmentDistance(onPage, onPage, a, b);
                if (d <= bestDistance) {
                    bestDistance = d;
                    best = h;
                }
            }
    }
    return best;
}

const HalfEdge* cutSideAt(const PagesLayout& layout, int page, MmPoint onPage, double toleranceMm)
{
    return nearestSideAt(layout, page, onPage, toleranceMm, [&](const HalfEdge& h) { return isCut(layout, h); });
}

bool flipLayoutFlap(PagesLayout& layout, const HalfEdge& side)
{
    if (!isCut(layout, side)) return false;
    const HalfEdge& other = *side.twin;
    const HalfEdge* from = flapOnSide(layout, side) ? &side : flapOnSide(layout, other) ? &other : nullptr;
    if (!from) return false;
    const HalfEdge& to = from == &side ? other : side;
    if (!addFlapOn(layout, to)) return false;
    return eraseFlapOn(layout, *from);
}

bool hideLayoutFlap(PagesLayout& layout, const HalfEdge& side)
{
    if (!isCut(layout, side)) return false;
    return eraseFlapOn(layout, side) || eraseFlapOn(layout, *side.twin);
}

bool showLayoutFlap(PagesLayout& layout, const HalfEdge& side)
{
    if (!isCut(layout, side) || flapOnSide(layout, side) || flapOnSide(layout, *side.twin)) return false;
    return addFlapOn(layout, side);
}

} // namespace nettor
