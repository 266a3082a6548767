#pragma once
// The walk every output pass makes over the pattern: parts in order, their
// faces in placement order, each face's outer loop in loop order. Sides that
// cannot be drawn (no edge, or a corner without a pattern point) are passed
// over, so a pass never follows a missing record.
#include "model/mesh.h"

#include <cstddef>
#include <utility>

namespace nettor {

// fn(part, face, halfEdge) for every side whose start and end are placed,
// in the parts from `first` up to `last`.
template <typename Fn>
void forEachPatternSideIn(const Model& model, std::size_t first, std::size_t last, Fn&& fn)
{
    for (std::size_t i = first; i < last && i < model.parts.size(); ++i) {
        const auto& part = model.parts[i];
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

// The same in every part.
template <typename Fn>
void forEachPatternSide(const Model& model, Fn&& fn)
{
    forEachPatternSideIn(model, 0, model.parts.size(), fn);
}

} // namespace nettor
