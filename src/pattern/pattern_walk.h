#pragma once
// The walk every output pass makes over the pattern: parts in order, their
// faces in placement order, each face's outer loop in loop order. Sides that
// cannot be drawn (no edge, or a corner without a pattern point) are passed
// over, so a pass never follows a missing record.
#include "model/mesh.h"

#include <utility>

namespace nettor {

// fn(part, face, halfEdge) for every side whose start and end are placed.
template <typename Fn>
void forEachPatternSide(const Model& model, Fn&& fn)
{
    for (auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face) continue;
            for (const HalfEdge* h : face->outerLoop.halfEdges) {
                if (!h || !h->edge || !h->point || !h->next || !h->next->point) continue;
                fn(std::as_const(*part), *face, *h);
            }
        }
    }
}

} // namespace nettor
