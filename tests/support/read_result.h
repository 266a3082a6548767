#pragma once
// What a reader made of one input: the model, the result and the warnings,
// with the questions the reader tests ask of it.
#include "model/diagnostics.h"
#include "model/mesh.h"

#include <cstdint>
#include <sstream>
#include <vector>

namespace nettor::test {

struct ReadResult {
    std::ostringstream diag;
    DiagnosticsRedirect redirect{diag};
    Model model;
    bool ok = false;

    // Runs read(model) with the warnings captured in diag.
    template <class Reader>
    explicit ReadResult(Reader&& read) { ok = read(model); }

    const MeshObject& object() const { return *model.objects.at(0); }
    // Vertex ids of a face's corners in loop order.
    std::vector<std::int32_t> corners(std::size_t face) const
    {
        std::vector<std::int32_t> ids;
        for (HalfEdge* h : object().faces.at(face)->outerLoop.halfEdges) ids.push_back(h->origin->id);
        return ids;
    }
    std::size_t pairedEdges() const
    {
        std::size_t n = 0;
        for (Edge* e : object().edges) n += e->halfEdge2 != nullptr;
        return n;
    }
    std::size_t boundaryEdges() const { return object().edges.size() - pairedEdges(); }
};

} // namespace nettor::test
