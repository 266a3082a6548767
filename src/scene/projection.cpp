#include "scene/projection.h"

namespace nettor {

namespace {

std::array<double, 4> transform(const std::array<double, 16>& m, const std::array<double, 4>& v)
{
    std::array<double, 4> out{};
    for (int row = 0; row < 4; ++row)
        out[static_cast<std::size_t>(row)] = m[static_cast<std::size_t>(row)] * v[0] +
                                             m[static_cast<std::size_t>(4 + row)] * v[1] +
                                             m[static_cast<std::size_t>(8 + row)] * v[2] +
                                             m[static_cast<std::size_t>(12 + row)] * v[3];
    return out;
}

} // namespace

WindowPoint projectPoint(const ViewSnapshot& view, const Vec3& p)
{
    const std::array<double, 4> q = transform(view.projection, transform(view.modelview, {p.x, p.y, p.z, 1.0}));
    const auto& vp = view.viewport;
    WindowPoint out;
    out.x = vp[0] + vp[2] * (q[0] / q[3] + 1.0) / 2.0;
    out.y = vp[1] + vp[3] * (q[1] / q[3] + 1.0) / 2.0;
    out.depth = q[2];
    out.w = q[3];
    return out;
}

double windowYOfRow(const ViewSnapshot& view, int row)
{
    return static_cast<double>(view.viewport[3]) - row;
}

} // namespace nettor
