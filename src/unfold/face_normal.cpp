#include "unfold/face_normal.h"

#include "model/mesh.h"

#include <cmath>

namespace nettor {

namespace {

// Newell's method: the area vector of the outline, whatever its shape.
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

} // namespace

Vec3 outwardNormal(const Face& face)
{
    const Vec3 plane{face.plane.a, face.plane.b, face.plane.c};
    const Vec3 area = outlineAreaVector(face.outerLoop);
    const double planeLength = length(plane);
    if (planeLength > 0.0 && std::isfinite(planeLength)) {
        return dot(plane, area) < 0.0 ? plane * -1.0 : plane;
    }
    const double areaLength = length(area);
    if (areaLength > 0.0 && std::isfinite(areaLength)) return area / areaLength;
    return {};
}

} // namespace nettor
