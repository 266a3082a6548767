#include "unfold/face_normal.h"

#include "model/mesh.h"

#include <cmath>

namespace nettor {

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
