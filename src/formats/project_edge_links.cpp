#include "formats/project_edge_links.h"

#include <unordered_map>

namespace nettor {

namespace {

struct EdgeLink {
    std::int64_t corner1 = -1;
    std::int64_t corner2 = -1;
    std::int64_t vertex1 = -1;
    std::int64_t vertex2 = -1;
    bool operator==(const EdgeLink&) const = default;
};

std::vector<EdgeLink> edgeLinksOf(const MeshObject& object)
{
    std::unordered_map<const HalfEdge*, std::int64_t> cornerAt;
    std::unordered_map<const Vertex*, std::int64_t> vertexAt;
    for (const Face* f : object.faces)
        for (const HalfEdge* h : f->outerLoop.halfEdges) cornerAt.emplace(h, static_cast<std::int64_t>(cornerAt.size()));
    for (const Vertex* v : object.vertices) vertexAt.emplace(v, static_cast<std::int64_t>(vertexAt.size()));
    auto find = [](const auto& map, const auto* key) -> std::int64_t {
        const auto it = map.find(key);
        return it == map.end() ? -1 : it->second;
    };
    std::vector<EdgeLink> links;
    for (const Edge* e : object.edges)
        links.push_back({find(cornerAt, e->halfEdge1), find(cornerAt, e->halfEdge2), find(vertexAt, e->vertex1),
                         find(vertexAt, e->vertex2)});
    return links;
}

} // namespace

ProjectJson edgeLinksJson(const MeshObject& object)
{
    Model scratch;
    MeshObject* copy = scratch.addObject();
    std::unordered_map<const Vertex*, Vertex*> vertexOf;
    for (const Vertex* v : object.vertices)
        vertexOf.emplace(v, copy->addVertex(v->position.x, v->position.y, v->position.z, v->id));
    bool complete = true;
    for (const Face* f : object.faces) {
        Face* face = copy->addFace();
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            const auto it = vertexOf.find(h->origin);
            if (it == vertexOf.end()) {
                complete = false;
                break;
            }
            face->addCorner(it->second);
        }
        if (!complete || !face->finishFace()) {
            complete = false;
            break;
        }
    }
    const std::vector<EdgeLink> links = edgeLinksOf(object);
    if (complete) {
        copy->buildEdges();
        if (edgeLinksOf(*copy) == links) return nullptr;
    }
    ProjectJson out = ProjectJson::array();
    for (const EdgeLink& l : links) {
        out.push_back(l.corner1);
        out.push_back(l.corner2);
        out.push_back(l.vertex1);
        out.push_back(l.vertex2);
    }
    return out;
}

void applyEdgeLinks(MeshObject& object, const ProjectJson& links, const std::string& where)
{
    const std::size_t count = object.edges.size();
    if (!links.is_array() || links.size() != 4 * count)
        throw ProjectError(where + ": the edge links do not match the mesh.");
    std::vector<HalfEdge*> corners;
    for (Face* f : object.faces)
        for (HalfEdge* h : f->outerLoop.halfEdges) corners.push_back(h);
    const auto cornerMax = static_cast<std::int64_t>(corners.size()) - 1;
    const auto vertexMax = static_cast<std::int64_t>(object.vertices.size()) - 1;
    std::unordered_map<const Edge*, bool> taken;
    std::vector<Edge*> ordered;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string what = where + " edge " + std::to_string(i + 1);
        HalfEdge* h1 = corners[static_cast<std::size_t>(projectInteger(links[4 * i], what, 0, cornerMax))];
        const std::int64_t c2 = projectInteger(links[4 * i + 1], what, -1, cornerMax);
        HalfEdge* h2 = c2 < 0 ? nullptr : corners[static_cast<std::size_t>(c2)];
        Vertex* v1 = object.vertices[static_cast<std::size_t>(projectInteger(links[4 * i + 2], what, 0, vertexMax))];
        Vertex* v2 = object.vertices[static_cast<std::size_t>(projectInteger(links[4 * i + 3], what, 0, vertexMax))];
        Edge* e = h1->edge;
        if (!e || taken[e]) throw ProjectError(what + " does not match the mesh.");
        const bool sameHalves = h2 ? (h2->edge == e && h1->twin == h2)
                                   : (e->halfEdge2 == nullptr && e->halfEdge1 == h1);
        if (!sameHalves) throw ProjectError(what + " does not match the mesh.");
        taken[e] = true;
        e->halfEdge1 = h1;
        e->halfEdge2 = h2;
        e->vertex1 = v1;
        e->vertex2 = v2;
        ordered.push_back(e);
    }
    object.edges = std::move(ordered);
}

} // namespace nettor
