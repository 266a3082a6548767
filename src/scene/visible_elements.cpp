#include "scene/visible_elements.h"

#include <cmath>

namespace nettor {

namespace {

// Whether triangle t turns away from the eye by more than the rounding of
// any projection of it: its normal and the way to the eye differ by more
// than a right angle plus about 0.006 degrees.
bool turnedAway(const std::vector<float>& p, std::size_t t, const Vec3& eye)
{
    const float* c = &p[9 * t];
    const Vec3 a{c[0], c[1], c[2]};
    const Vec3 n = cross(Vec3{c[3], c[4], c[5]} - a, Vec3{c[6], c[7], c[8]} - a);
    const Vec3 toEye = eye - a;
    return dot(n, toEye) < -1e-4 * std::sqrt(dot(n, n) * dot(toEye, toEye));
}

} // namespace

void findVisibleElements(const ModelArrays& arrays, const Vec3& eye, double clearance, bool facesCulled,
                         VisibleElements& out)
{
    const std::size_t triangles = arrays.facePositions.size() / 9;
    std::vector<std::uint8_t> away(triangles);
    for (std::size_t t = 0; t < triangles; ++t) away[t] = turnedAway(arrays.facePositions, t, eye);

    out.faceCorners.clear();
    out.faceRanges.clear();
    for (const FaceBatch& batch : arrays.faceBatches) {
        ElementRange range{static_cast<std::uint32_t>(out.faceCorners.size()), 0};
        for (std::uint32_t corner = batch.first; corner + 3 <= batch.first + batch.count; corner += 3) {
            if (facesCulled && away[corner / 3]) continue;
            out.faceCorners.insert(out.faceCorners.end(), {corner, corner + 1, corner + 2});
        }
        range.count = static_cast<std::uint32_t>(out.faceCorners.size()) - range.first;
        out.faceRanges.push_back(range);
    }

    // A face is turned away when all its triangles are.
    const std::size_t faces = arrays.faceFirstCorner.size();
    std::vector<std::uint8_t> faceAway(faces);
    for (std::size_t f = 0; f < faces; ++f) {
        const std::uint32_t first = arrays.faceFirstCorner[f] / 3;
        const std::uint32_t last = first + arrays.faceCornerCount[f] / 3;
        bool all = first < last;
        for (std::uint32_t t = first; all && t < last; ++t) all = away[t] != 0;
        faceAway[f] = all;
    }
    const Vec3 fromCentre = eye - arrays.centre;
    const bool outside = length(fromCentre) > arrays.radius * (1.0 + 1e-9) + clearance + 1e-12;
    auto hidden = [&](std::uint32_t line) {
        const std::uint32_t f1 = arrays.lineFaces[2 * std::size_t{line}];
        const std::uint32_t f2 = arrays.lineFaces[2 * std::size_t{line} + 1];
        return f1 < faces && f2 < faces && faceAway[f1] && faceAway[f2];
    };
    out.lineEnds.clear();
    out.lineRanges.clear();
    for (const LineBatch& batch : arrays.lineBatches) {
        ElementRange range{static_cast<std::uint32_t>(out.lineEnds.size()), 0};
        for (std::uint32_t end = batch.first; end + 2 <= batch.first + batch.count; end += 2) {
            if (outside && hidden(end / 2)) continue;
            out.lineEnds.insert(out.lineEnds.end(), {end, end + 1});
        }
        range.count = static_cast<std::uint32_t>(out.lineEnds.size()) - range.first;
        out.lineRanges.push_back(range);
    }
}

} // namespace nettor
