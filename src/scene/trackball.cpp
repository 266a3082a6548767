#include "scene/trackball.h"

#include <cmath>

namespace nettor {

SpherePoint spherePoint(int x, int y, int halfWidth, int halfHeight, double radius)
{
    if (!(radius > 0.0)) return {0.0f, 0.0f, 1.0f, 0.0f};
    const float px = static_cast<float>((x - halfWidth) / radius);
    const float py = static_cast<float>((halfHeight - y) / radius);
    const float d = px * px + py * py;
    if (d > 1.0f) {
        const float len = std::sqrt(d);
        return {px / len, py / len, 0.0f, 0.0f};
    }
    return {px, py, std::sqrt(1.0f - d), 0.0f};
}

double trackballRadius(int halfWidth, int halfHeight)
{
    return std::sqrt(static_cast<double>(halfWidth) * halfWidth + static_cast<double>(halfHeight) * halfHeight);
}

void Trackball::dragTo(const SpherePoint& current)
{
    currentVector = current;
    const SpherePoint& a = startVector;
    const SpherePoint& b = currentVector;
    dragRotation = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x,
                    a.x * b.x + a.y * b.y + a.z * b.z};
    orientation = hamiltonProduct(dragRotation, startOrientation);
    nettor::rotationMatrix(orientation, rotationMatrix);
}

} // namespace nettor
