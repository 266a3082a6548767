#include "unfold/prepare_for_unfolding.h"

#include "model/mesh.h"
#include "unfold/face_normal.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

constexpr double kDegreesPerRadian = 57.29577951289617;

// (next - start) x (prev - start) at the corner where h starts, turned to
// the outward side when the corner is reflex; the face normal where the
// corner has no direction of its own (collinear corners).
Vec3 cornerNormal(const HalfEdge& h)
{
    const Vec3& start = h.origin->position;
    Vec3 n = cross(h.next->origin->position - start, h.prev->origin->position - start);
    const Vec3 outward = outwardNormal(*h.loop->face);
    const double len = length(n);
    if (!(len > 0.0) || !std::isfinite(len)) return outward;
    if (dot(n, outward) < 0.0) n = n * -1.0;
    return n / len;
}

// The corner of F2 before halfEdge2, as a probe of which side of F1's plane
// F2 bends to. Beyond the edge's line (a reflex corner next to the edge) it
// is mirrored back across that line into F2's side of it; a corner on the
// line gives way to a point one edge length into F2.
Vec3 sideProbe(const HalfEdge& h2, double edgeLength)
{
    const Vec3& start = h2.origin->position;
    const Vec3& prev = h2.prev->origin->position;
    Vec3 along = h2.next->origin->position - start;
    const double alongLength = length(along);
    if (!(alongLength > 0.0)) return prev;
    along = along / alongLength;
    const Vec3 inward = cross(outwardNormal(*h2.loop->face), along);
    const double b = dot(prev - start, inward);
    if (b > 1e-12 * edgeLength) return prev;
    if (b < -1e-12 * edgeLength) return prev - inward * (2.0 * b);
    return start + inward * edgeLength;
}

std::uint8_t ridgeFlag(const Edge& e)
{
    const Face& f1 = *e.halfEdge1->loop->face;
    const Vec3 n1 = outwardNormal(f1);
    const Vec3& o = e.halfEdge1->prev->origin->position;
    const HalfEdge& h2 = *e.halfEdge2;
    const double sum = dot(n1, h2.origin->position - o) + dot(n1, h2.next->origin->position - o) +
                       dot(n1, sideProbe(h2, e.length) - o);
    return sum > 0.0001 ? 0 : 1;
}

double foldAngle(const Edge& e)
{
    const Vec3 a1 = cornerNormal(*e.halfEdge1);
    const Vec3 a2 = cornerNormal(*e.halfEdge2);
    const double d = length(a1 - a2);
    const double c = std::clamp((2.0 - d * d) / 2.0, -1.0, 1.0);
    return 180.0 - std::acos(c) * kDegreesPerRadian;
}

} // namespace

void prepareForUnfolding(Model& model)
{
    const Vec3& mx = model.boundsMax;
    const Vec3& mn = model.boundsMin;
    const Vec3 centre = (mx + mn) / 2.0;
    double s = std::max({(mx.x - mn.x) / 2.0, (mx.y - mn.y) / 2.0, (mx.z - mn.z) / 2.0});
    // A model without vertices, or with all of them at one point, has no
    // extent to scale by: it is only centred.
    const bool hasExtent = s > 0.0 && std::isfinite(s);
    if (!hasExtent) s = 1.0;
    const bool hasVertices = mn.x <= mx.x && mn.y <= mx.y && mn.z <= mx.z;

    for (auto& object : model.objects) {
        for (Vertex* v : object->vertices) {
            if (hasVertices) v->position = (v->position - centre) / s;
        }
        // The faces' centroids and planes move with their corners (the 3D
        // view picks by the centroids).
        if (!hasVertices) continue;
        for (Face* f : object->faces) {
            f->centroid = (f->centroid - centre) / s;
            Plane& p = f->plane;
            p.d = (p.d + p.a * centre.x + p.b * centre.y + p.c * centre.z) / s;
        }
    }

    double meanSum = 0.0;
    for (auto& object : model.objects) {
        double lengthSum = 0.0;
        for (Edge* e : object->edges) {
            e->length = length(e->vertex1->position - e->vertex2->position);
            lengthSum += e->length;
            if (e->halfEdge1 && e->halfEdge2) {
                e->isRidge = ridgeFlag(*e);
                e->foldAngle = foldAngle(*e);
            } else {
                e->state = EdgeState::Border;
                e->isRidge = 1;
            }
        }
        object->meanEdgeLength =
            object->edges.empty() ? 0.0 : lengthSum / static_cast<double>(object->edges.size());
        meanSum += object->meanEdgeLength;
    }
    model.averageEdgeLength =
        model.objects.empty() ? 0.0 : meanSum / static_cast<double>(model.objects.size());
    model.unitScale = 1.0 / s;
}

} // namespace nettor
