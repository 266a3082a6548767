#pragma once
// Shared by the fuzz targets: a silent diagnostics stream and the structural
// checks every model a reader accepted must pass. A failed check traps, so
// the fuzzer reports it like a crash.
#include "model/diagnostics.h"
#include "model/mesh.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace nettor::fuzz {

inline void require(bool condition)
{
    if (!condition) __builtin_trap();
}

// Warnings of a reader go nowhere.
inline void silenceDiagnostics()
{
    static std::ostream sink(nullptr);
    setDiagnostics(&sink);
}

inline void checkModel(const Model& model)
{
    std::int64_t faces = 0;
    for (const auto& object : model.objects) {
        require(object->model == &model);
        for (const Vertex* v : object->vertices) {
            require(std::isfinite(v->position.x) && std::isfinite(v->position.y) && std::isfinite(v->position.z));
        }
        for (const Material& m : object->materials)
            require(m.imageIndex == -1 ||
                    (m.imageIndex >= 0 && static_cast<std::size_t>(m.imageIndex) < model.images.size()));
        for (const Face* f : object->faces) {
            ++faces;
            require(f->object == object.get());
            require(f->cornerCount >= 3);
            require(f->outerLoop.halfEdges.size() == static_cast<std::size_t>(f->cornerCount));
            require(f->materialIndex == -1 ||
                    (f->materialIndex >= 0 && static_cast<std::size_t>(f->materialIndex) < object->materials.size()));
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                require(h->origin != nullptr && h->loop == &f->outerLoop);
                require(h->next != nullptr && h->next->prev == h);
                require(h->edge != nullptr);
                require(h->twin == nullptr || h->twin->twin == h);
            }
        }
        for (const Edge* e : object->edges) {
            require(e->halfEdge1 != nullptr && e->halfEdge1->edge == e);
            require(e->halfEdge2 == nullptr || e->halfEdge2->edge == e);
        }
    }
    for (const auto& image : model.images)
        require(!image || image->pixels.size() == std::size_t(image->width) * std::size_t(image->height) * 3u);
    require(faces == model.faceCount);
}

inline std::string_view bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace nettor::fuzz
