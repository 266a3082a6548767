#include "unfold/placement.h"


namespace nettor {

PatternPoint placeFanCorner(const PatternPoint& a, const PatternPoint& b, const Vec3& k,
                            const Vec3& p, const Vec3& q, const Vec3& normal)
{
    const bool left = dot(normal, cross(p - k, q - k)) >= 0.0;
    return placeThirdCorner(a, b, length(k - p), length(p - q), length(q - k), left);
}

} // namespace nettor
