#include "unfold/part_outline.h"

#include "model/mesh.h"

#include <algorithm>

namespace nettor {

void collectOutline(const UnfoldedPart& part, PartOutline& into)
{
    into.segments.clear();
    into.boxes.clear();
    into.faces.clear();
    into.faceBoxes.clear();
    for (const Face* f : part.faces) {
        if (!f->unfolded) continue;
        const std::vector<HalfEdge*>& corners = f->outerLoop.halfEdges;
        if (!corners.empty() && std::all_of(corners.begin(), corners.end(),
                                            [](const HalfEdge* h) { return h->point != nullptr; })) {
            const PatternPoint& first = *corners.front()->point;
            OutlineGrid::Box box{first.x, first.y, first.x, first.y};
            for (const HalfEdge* h : corners)
                box = {std::min(box.minX, h->point->x), std::min(box.minY, h->point->y),
                       std::max(box.maxX, h->point->x), std::max(box.maxY, h->point->y)};
            into.faces.push_back(f);
            into.faceBoxes.push_back(box);
        }
        for (const HalfEdge* a : f->outerLoop.halfEdges) {
            if (a->foldPartner || !a->point || !a->next->point) continue;
            const PatternPoint& s = *a->point;
            const PatternPoint& t = *a->next->point;
            into.segments.push_back({f, s, t});
            into.boxes.push_back({std::min(s.x, t.x), std::min(s.y, t.y), std::max(s.x, t.x),
                                  std::max(s.y, t.y)});
        }
    }
    into.grid.build(into.boxes);
    into.faceGrid.build(into.faceBoxes);
}

PartOutline collectOutline(const UnfoldedPart& part)
{
    PartOutline outline;
    collectOutline(part, outline);
    return outline;
}

} // namespace nettor
