#include "model/mesh.h"

#include "model/diagnostics.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace nettor {

namespace {

struct CoordKey {
    double x, y, z;
    bool operator==(const CoordKey& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CoordHash {
    static std::uint64_t bits(double d)
    {
        if (d == 0.0) d = 0.0; // -0.0 equals 0.0, so both must hash alike
        std::uint64_t b;
        static_assert(sizeof b == sizeof d);
        __builtin_memcpy(&b, &d, sizeof b);
        return b;
    }
    std::size_t operator()(const CoordKey& k) const
    {
        std::uint64_t h = bits(k.x) * 0x9E3779B97F4A7C15ull;
        h ^= bits(k.y) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
        h ^= bits(k.z) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
        h ^= h >> 31;
        return static_cast<std::size_t>(h);
    }
};

} // namespace

struct VertexIndex {
    std::unordered_map<CoordKey, Vertex*, CoordHash> map;
};

MeshObject::MeshObject(Model* owner) : model(owner) {}
MeshObject::~MeshObject() = default;

Model::~Model()
{
    // Objects first, then the unfolding records, then the texture.
    objects.clear();
    parts.clear();
    cornerPool.clear();
    pointPool.clear();
    textureImage.reset();
}

MeshObject* Model::addObject()
{
    objects.push_back(std::make_unique<MeshObject>(this));
    return objects.back().get();
}

void Model::buildAllEdges()
{
    for (auto& object : objects) object->buildEdges();
}

Vertex* MeshObject::addVertex(double x, double y, double z, std::int32_t id)
{
    Vertex& v = vertexStore_.emplace_back();
    v.id = id;
    v.position = {x, y, z};
    v.serial = model->nextVertexSerial++;
    vertices.push_back(&v);

    Vec3& mx = model->boundsMax;
    Vec3& mn = model->boundsMin;
    if (x > mx.x) mx.x = x;
    if (x < mn.x) mn.x = x;
    if (y > mx.y) mx.y = y;
    if (y < mn.y) mn.y = y;
    if (z > mx.z) mx.z = z;
    if (z < mn.z) mn.z = z;

    if (vertexIndex_) indexVertex(&v);
    return &v;
}

void MeshObject::indexVertex(Vertex* v) const
{
    // A later vertex with the same coordinates replaces the earlier one, so a
    // lookup returns the last match.
    vertexIndex_->map[CoordKey{v->position.x, v->position.y, v->position.z}] = v;
}

Vertex* MeshObject::findVertex(double x, double y, double z) const
{
    if (!vertexIndex_) {
        vertexIndex_ = std::make_unique<VertexIndex>();
        vertexIndex_->map.reserve(vertices.size() * 2 + 16);
        for (Vertex* v : vertices) indexVertex(v);
    }
    auto it = vertexIndex_->map.find(CoordKey{x, y, z});
    return it == vertexIndex_->map.end() ? nullptr : it->second;
}

TexCoord* MeshObject::addTexCoord(double u, double v)
{
    TexCoord& t = texCoordStore_.emplace_back();
    t.u = u;
    t.v = v;
    texCoords.push_back(&t);
    return &t;
}

Face* MeshObject::addFace()
{
    ++model->faceCount;
    Face& f = faceStore_.emplace_back();
    f.object = this;
    f.outerLoop.face = &f;
    faces.push_back(&f);
    return &f;
}

HalfEdge* Face::addCorner(Vertex* vertex, TexCoord* texCoord)
{
    HalfEdge& h = object->halfEdgeStore_.emplace_back();
    h.origin = vertex;
    h.texCoord = texCoord;
    h.loop = &outerLoop;
    h.index = object->model->nextHalfEdgeIndex++;
    if (outerLoop.halfEdges.empty()) outerLoop.halfEdges.reserve(4);
    outerLoop.halfEdges.push_back(&h);
    centroid += vertex->position;
    ++cornerCount;
    return &h;
}

namespace {

void linkLoop(Loop& loop)
{
    auto& hs = loop.halfEdges;
    const std::size_t n = hs.size();
    for (std::size_t i = 0; i < n; ++i) {
        HalfEdge* h = hs[i];
        HalfEdge* nx = hs[(i + 1) % n];
        h->next = nx;
        nx->prev = h;
    }
}

} // namespace

Vec3 outlineAreaVector(const Loop& loop)
{
    Vec3 n;
    const auto& hs = loop.halfEdges;
    for (std::size_t i = 0; i < hs.size(); ++i) {
        const Vec3& p = hs[i]->origin->position;
        const Vec3& q = hs[(i + 1) % hs.size()]->origin->position;
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

bool Face::finishFace()
{
    Model* model = object->model;
    if (cornerCount < 3) {
        // Cannot bound an area: take it out again and say so.
        auto& list = object->faces;
        auto it = std::find(list.rbegin(), list.rend(), this);
        if (it != list.rend()) list.erase(std::next(it).base());
        --model->faceCount;
        diagnostics() << "Warning: a face with fewer than three corners was skipped.\n";
        return false;
    }

    centroid = centroid / static_cast<double>(cornerCount);
    linkLoop(outerLoop);

    const Vec3& p0 = outerLoop.halfEdges[0]->origin->position;
    const Vec3& p1 = outerLoop.halfEdges[1]->origin->position;
    const Vec3& p2 = outerLoop.halfEdges[2]->origin->position;
    Vec3 n = cross(p0 - p1, p1 - p2);
    double len = length(n);
    // Collinear first corners give no direction; the whole outline still may.
    const double scale = length(p0 - p1) * length(p1 - p2);
    const Vec3 outline = outlineAreaVector(outerLoop);
    if (!(len > 1e-12 * scale) || !std::isfinite(len)) {
        n = outline;
        len = length(n);
    } else if (dot(n, outline) < 0.0) {
        // The first corner is a reflex one: the three corners turn against
        // the outline, so their normal points into the solid.
        n = n * -1.0;
    }
    if (len > 0.0 && std::isfinite(len)) {
        plane.a = n.x / len;
        plane.b = n.y / len;
        plane.c = n.z / len;
        plane.d = -(plane.a * p0.x + plane.b * p0.y + plane.c * p0.z);
    } else {
        plane = Plane{}; // a face without area has no direction
    }
    index = model->faceCount - 1;
    return true;
}

void Model::invertFaces()
{
    std::vector<std::pair<Vertex*, TexCoord*>> nextCorner;
    for (auto& object : objects) {
        for (Edge* e : object->edges) {
            if (e->state != EdgeState::Border) e->isRidge = e->isRidge == 0 ? 1 : 0;
        }
        for (Face* f : object->faces) {
            f->plane = Plane{-f->plane.a, -f->plane.b, -f->plane.c, -f->plane.d};
            auto& hs = f->outerLoop.halfEdges;
            nextCorner.clear();
            for (HalfEdge* h : hs) {
                nextCorner.emplace_back(h->next ? h->next->origin : h->origin,
                                        h->next ? h->next->texCoord : h->texCoord);
            }
            for (std::size_t i = 0; i < hs.size(); ++i) {
                hs[i]->origin = nextCorner[i].first;
                hs[i]->texCoord = nextCorner[i].second;
                std::swap(hs[i]->next, hs[i]->prev);
            }
            if (hs.size() > 1) std::reverse(hs.begin(), hs.end());
        }
    }
}

} // namespace nettor
