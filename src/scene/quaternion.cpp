#include "scene/quaternion.h"

namespace nettor {

Quaternion hamiltonProduct(const Quaternion& a, const Quaternion& b)
{
    return {a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y),
            a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
            a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x),
            a.w * b.w - (a.x * b.x + a.y * b.y + a.z * b.z)};
}

void rotationMatrix(const Quaternion& q, float m[16])
{
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    const float norm = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (!(norm > 0.0f)) return;
    const float s = 2.0f / norm;
    const float xx = q.x * q.x * s, yy = q.y * q.y * s, zz = q.z * q.z * s;
    const float xy = q.x * q.y * s, xz = q.x * q.z * s, yz = q.y * q.z * s;
    const float wx = q.w * q.x * s, wy = q.w * q.y * s, wz = q.w * q.z * s;
    // m[column * 4 + row]
    m[0] = 1.0f - (yy + zz);
    m[1] = xy + wz;
    m[2] = xz - wy;
    m[4] = xy - wz;
    m[5] = 1.0f - (xx + zz);
    m[6] = yz + wx;
    m[8] = xz + wy;
    m[9] = yz - wx;
    m[10] = 1.0f - (xx + yy);
}

} // namespace nettor
