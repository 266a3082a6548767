#include "scene/model_arrays.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace nettor {

EdgeLook edgeLook(const Edge& edge, bool edgeColour)
{
    EdgeLook look;
    switch (edge.state) {
    case EdgeState::Cut:
    case EdgeState::Blocked:
    case EdgeState::Border:
        look.width = 3.0f;
        look.red = 1.0f;
        break;
    case EdgeState::Candidate:
        look.width = 3.0f;
        look.green = 1.0f;
        break;
    case EdgeState::MarkedCut:
        look.width = 4.0f;
        look.red = 1.0f;
        look.green = 0.45f;
        break;
    default:
        // Untouched and Fold: black, or ridge blue and valley cyan.
        if (edgeColour) {
            look.green = edge.isRidge ? 0.0f : 1.0f;
            look.blue = 1.0f;
        }
        break;
    }
    return look;
}

namespace {

bool sameLook(const FaceAppearance& a, const FaceAppearance& b)
{
    return a.colour == b.colour && a.material == b.material && a.texture == b.texture;
}

void push3(std::vector<float>& out, double x, double y, double z)
{
    out.push_back(static_cast<float>(x));
    out.push_back(static_cast<float>(y));
    out.push_back(static_cast<float>(z));
}

// Where the view draws a corner: once finished, through the copy that
// completion moved inward, so that the cuts show as gaps.
Vec3 cornerOf(const HalfEdge& h, bool finished)
{
    if (finished && h.cornerCopy) return {h.cornerCopy->x, h.cornerCopy->y, h.cornerCopy->z};
    return h.origin->position;
}

void put3(float* out, double x, double y, double z)
{
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
    out[2] = static_cast<float>(z);
}

// Writes the face's triangles at corner number at, which moves past them.
void writeFace(ModelArrays& out, const Face& face, bool finished, std::vector<TexCoord>& uv, std::uint32_t& at)
{
    const auto& hs = face.outerLoop.halfEdges;
    const std::size_t n = hs.size();
    if (n < 3) return;
    // A corner without texture coordinates takes those of the one before.
    uv.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        uv[i] = hs[i]->texCoord ? *hs[i]->texCoord : (i ? uv[i - 1] : TexCoord{});
    for (std::size_t i = 1; i + 1 < n; ++i) {
        for (const std::size_t c : {std::size_t{0}, i, i + 1}) {
            const Vec3 p = cornerOf(*hs[c], finished);
            put3(&out.facePositions[3 * std::size_t{at}], p.x, p.y, p.z);
            put3(&out.faceNormals[3 * std::size_t{at}], face.plane.a, face.plane.b, face.plane.c);
            out.faceTexCoords[2 * std::size_t{at}] = static_cast<float>(uv[c].u);
            out.faceTexCoords[2 * std::size_t{at} + 1] = static_cast<float>(uv[c].v);
            ++at;
        }
    }
}

// Line ends gathered by width in the order of their batches' first lines,
// each line with the faces on its two sides.
class LineGathering {
public:
    void add(const Vec3& a, const Vec3& b, const EdgeLook& look, std::uint32_t face1 = ModelArrays::kNoFace,
             std::uint32_t face2 = ModelArrays::kNoFace)
    {
        std::size_t batch = 0;
        while (batch < groups_.size() && groups_[batch].width != look.width) ++batch;
        if (batch == groups_.size()) groups_.push_back({look.width, {}, {}, {}});
        Group& g = groups_[batch];
        push3(g.positions, a.x, a.y, a.z);
        push3(g.positions, b.x, b.y, b.z);
        for (int end = 0; end < 2; ++end) {
            g.colours.push_back(look.red);
            g.colours.push_back(look.green);
            g.colours.push_back(look.blue);
        }
        g.faces.push_back(face1);
        g.faces.push_back(face2);
    }

    void into(ModelArrays& out)
    {
        for (Group& g : groups_) {
            const auto first = static_cast<std::uint32_t>(out.linePositions.size() / 3);
            out.linePositions.insert(out.linePositions.end(), g.positions.begin(), g.positions.end());
            out.lineColours.insert(out.lineColours.end(), g.colours.begin(), g.colours.end());
            out.lineFaces.insert(out.lineFaces.end(), g.faces.begin(), g.faces.end());
            out.lineBatches.push_back({g.width, first, static_cast<std::uint32_t>(g.positions.size() / 3)});
        }
    }

private:
    struct Group {
        float width;
        std::vector<float> positions;
        std::vector<float> colours;
        std::vector<std::uint32_t> faces;
    };
    std::vector<Group> groups_;
};

// Whether the object is closed all round, every side of its faces on an
// edge between two faces that run along it in opposite directions, and its
// faces turned outward (it encloses a positive volume). Seen from outside,
// its near faces then cover everything of its far side.
bool hidesItsFarSide(const MeshObject& object)
{
    if (object.faces.empty()) return false;
    for (const Face* face : object.faces) {
        if (face->outerLoop.halfEdges.size() < 3) return false;
        for (const HalfEdge* h : face->outerLoop.halfEdges)
            if (!h->edge || (h->edge->halfEdge1 != h && h->edge->halfEdge2 != h)) return false;
    }
    for (const Edge* edge : object.edges) {
        const HalfEdge* a = edge->halfEdge1;
        const HalfEdge* b = edge->halfEdge2;
        if (!a || !b || !a->loop || !b->loop || !a->loop->face || !b->loop->face || !a->next || !b->next)
            return false;
        if (a->origin != b->next->origin || b->origin != a->next->origin) return false;
    }
    double volume = 0.0; // six times, about the first corner
    const Vec3 o = object.faces.front()->outerLoop.halfEdges.front()->origin->position;
    for (const Face* face : object.faces) {
        const auto& hs = face->outerLoop.halfEdges;
        const Vec3 p0 = hs[0]->origin->position - o;
        for (std::size_t i = 1; i + 1 < hs.size(); ++i)
            volume += dot(p0, cross(hs[i]->origin->position - o, hs[i + 1]->origin->position - o));
    }
    return volume > 0.0;
}

// The sphere around the faces' corners.
void encloseCorners(ModelArrays& out)
{
    const std::vector<float>& p = out.facePositions;
    if (p.empty()) return;
    Vec3 lo{p[0], p[1], p[2]}, hi = lo;
    for (std::size_t i = 0; i < p.size(); i += 3) {
        lo = {std::min<double>(lo.x, p[i]), std::min<double>(lo.y, p[i + 1]), std::min<double>(lo.z, p[i + 2])};
        hi = {std::max<double>(hi.x, p[i]), std::max<double>(hi.y, p[i + 1]), std::max<double>(hi.z, p[i + 2])};
    }
    out.centre = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    double r2 = 0.0;
    for (std::size_t i = 0; i < p.size(); i += 3) {
        const Vec3 d{p[i] - out.centre.x, p[i + 1] - out.centre.y, p[i + 2] - out.centre.z};
        r2 = std::max(r2, dot(d, d));
    }
    out.radius = std::sqrt(r2);
}

} // namespace

ModelArrays buildModelArrays(const Model& model, const ModelArraysOptions& options)
{
    // Each face's batch, the batches in the order of their first faces.
    std::vector<const Face*> faces;
    std::vector<std::uint32_t> batchOf;
    std::vector<FaceAppearance> looks;
    std::vector<std::uint32_t> corners; // triangle corners a batch
    for (const auto& object : model.objects) {
        for (const Face* face : object->faces) {
            const FaceAppearance look = modelFaceAppearance(model, *face, options.showTexture, options.finished);
            std::size_t batch = looks.size();
            // Few appearances: the last one used is the likely one.
            if (!batchOf.empty() && sameLook(looks[batchOf.back()], look)) batch = batchOf.back();
            else
                for (std::size_t b = 0; b < looks.size(); ++b)
                    if (sameLook(looks[b], look)) {
                        batch = b;
                        break;
                    }
            if (batch == looks.size()) {
                looks.push_back(look);
                corners.push_back(0);
            }
            const std::size_t n = face->outerLoop.halfEdges.size();
            if (n >= 3) corners[batch] += static_cast<std::uint32_t>(3 * (n - 2));
            faces.push_back(face);
            batchOf.push_back(static_cast<std::uint32_t>(batch));
        }
    }

    ModelArrays out;
    std::uint32_t total = 0;
    for (std::size_t b = 0; b < looks.size(); ++b) {
        out.faceBatches.push_back({looks[b], total, corners[b]});
        total += corners[b];
    }
    out.facePositions.resize(3 * std::size_t{total});
    out.faceNormals.resize(3 * std::size_t{total});
    out.faceTexCoords.resize(2 * std::size_t{total});
    std::vector<std::uint32_t> cursor(looks.size());
    for (std::size_t b = 0; b < looks.size(); ++b) cursor[b] = out.faceBatches[b].first;
    std::vector<TexCoord> uv;
    out.faceFirstCorner.resize(faces.size());
    out.faceCornerCount.resize(faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        std::uint32_t& at = cursor[batchOf[f]];
        out.faceFirstCorner[f] = at;
        writeFace(out, *faces[f], options.finished, uv, at);
        out.faceCornerCount[f] = at - out.faceFirstCorner[f];
    }
    encloseCorners(out);

    // Each face's number in the arrays, found by its index in the model.
    std::vector<std::uint32_t> number(faces.size(), ModelArrays::kNoFace);
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const auto index = static_cast<std::size_t>(std::max(0, faces[f]->index));
        if (index >= number.size()) number.resize(index + 1, ModelArrays::kNoFace);
        number[index] = static_cast<std::uint32_t>(f);
    }
    auto numberOf = [&](const HalfEdge* h) {
        const Face* face = h && h->loop ? h->loop->face : nullptr;
        const auto index = face ? static_cast<std::size_t>(std::max(0, face->index)) : number.size();
        return index < number.size() && number[index] != ModelArrays::kNoFace && faces[number[index]] == face
                   ? number[index]
                   : ModelArrays::kNoFace;
    };

    LineGathering lines;
    if (options.finished) {
        const EdgeLook outline; // black, one pixel wide
        // A side the face shares, corner for corner, with a face drawn
        // before it is drawn once, with that face.
        for (std::size_t f = 0; f < faces.size(); ++f) {
            const auto& hs = faces[f]->outerLoop.halfEdges;
            for (std::size_t i = 0; i < hs.size(); ++i) {
                const Vec3 a = cornerOf(*hs[i], true);
                const Vec3 b = cornerOf(*hs[(i + 1) % hs.size()], true);
                if (const HalfEdge* twin = hs[i]->twin; twin && twin->next && numberOf(twin) < f) {
                    if (cornerOf(*twin, true) == b && cornerOf(*twin->next, true) == a) continue;
                }
                lines.add(a, b, outline);
            }
        }
    } else {
        for (const auto& object : model.objects) {
            const bool hides = hidesItsFarSide(*object);
            for (const Edge* edge : object->edges) {
                if (!edge->vertex1 || !edge->vertex2) continue;
                const EdgeLook look = edgeLook(*edge, options.edgeColour);
                // A wider line may show past the outline of the faces in front.
                if (hides && look.width == 1.0f)
                    lines.add(edge->vertex1->position, edge->vertex2->position, look, numberOf(edge->halfEdge1),
                              numberOf(edge->halfEdge2));
                else
                    lines.add(edge->vertex1->position, edge->vertex2->position, look);
            }
        }
    }
    lines.into(out);
    return out;
}

} // namespace nettor
