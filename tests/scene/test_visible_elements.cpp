// What a frame of the 3D view leaves out must be what cannot be seen from
// the eye: a triangle facing the eye is always kept, and every point of a
// line left out lies behind a triangle that faces the eye, on closed and
// concave solids alike; open and inside-out shapes, and an eye inside a
// solid or so near it that the near plane cuts into it, keep every line.
// What is kept keeps its order.
#include "scene/visible_elements.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace nettor {
namespace {

Vec3 corner(const std::vector<float>& xyz, std::size_t c) { return {xyz[3 * c], xyz[3 * c + 1], xyz[3 * c + 2]}; }

// Whether the triangle of corners c, c+1, c+2 faces the eye.
bool faces(const std::vector<float>& xyz, std::size_t c, const Vec3& eye)
{
    const Vec3 a = corner(xyz, c);
    return dot(cross(corner(xyz, c + 1) - a, corner(xyz, c + 2) - a), eye - a) > 0.0;
}

// Whether the way from the eye to q passes through a triangle facing the
// eye before it reaches q.
bool hiddenBehindAFace(const ModelArrays& arrays, const Vec3& eye, const Vec3& q)
{
    const std::vector<float>& xyz = arrays.facePositions;
    const Vec3 d = q - eye;
    for (std::size_t c = 0; c + 3 <= xyz.size() / 3; c += 3) {
        if (!faces(xyz, c, eye)) continue;
        const Vec3 a = corner(xyz, c), e1 = corner(xyz, c + 1) - a, e2 = corner(xyz, c + 2) - a;
        const Vec3 p = cross(d, e2);
        const double det = dot(e1, p);
        if (std::fabs(det) < 1e-15) continue;
        const Vec3 s = eye - a;
        const double u = dot(s, p) / det;
        const Vec3 qv = cross(s, e1);
        const double v = dot(d, qv) / det;
        const double t = dot(e2, qv) / det;
        if (u >= -1e-9 && v >= -1e-9 && u + v <= 1 + 1e-9 && t > 0.0 && t < 1.0 - 1e-6) return true;
    }
    return false;
}

// The faces turned over, all of them or those around the first vertex.
MeshSpec turnedOver(MeshSpec spec, bool all)
{
    for (auto& face : spec.faces)
        if (all || std::find(face.begin(), face.end(), 0) != face.end()) std::reverse(face.begin(), face.end());
    return spec;
}

TEST(VisibleElements, WhatIsLeftOutCannotBeSeenAndWhatFacesTheEyeIsKept)
{
    std::mt19937 rng(11);
    struct Shape {
        std::string name;
        MeshSpec spec;
        bool hides;
    };
    const Shape shapes[] = {{"sphere", test::subdividedSphereSpec(2), true},
                            {"torus", test::torusSpec(14, 8), true},
                            {"closed height field", test::closedHeightFieldSpec(rng, 5), true},
                            {"open height field", test::bumpyHeightFieldSpec(rng, 6), false},
                            {"inside-out sphere", turnedOver(test::subdividedSphereSpec(2), true), false},
                            {"sphere with a patch turned over", turnedOver(test::subdividedSphereSpec(2), false), false}};
    std::uniform_real_distribution<double> unit(-1.0, 1.0), reach(0.2, 4.0);
    VisibleElements visible;
    for (const Shape& shape : shapes) {
        const auto model = test::buildModel(shape.spec);
        const ModelArrays arrays = buildModelArrays(*model, {});
        ASSERT_EQ(arrays.lineFaces.size(), arrays.linePositions.size() / 3);
        int leftOut = 0;
        for (int round = 0; round < 16; ++round) {
            Vec3 way{unit(rng), unit(rng), unit(rng)};
            way = way * (1.0 / length(way));
            const Vec3 eye = arrays.centre + way * (arrays.radius * reach(rng));
            const double clearance = 0.3 * arrays.radius;
            const bool outside = length(eye - arrays.centre) > arrays.radius + clearance;
            for (const bool culled : {true, false}) {
                findVisibleElements(arrays, eye, clearance, culled, visible);
                const std::string at = shape.name + ", round " + std::to_string(round) + (culled ? ", culled" : "");
                ASSERT_EQ(visible.faceRanges.size(), arrays.faceBatches.size());
                for (std::size_t b = 0; b < arrays.faceBatches.size(); ++b) {
                    const FaceBatch& batch = arrays.faceBatches[b];
                    const ElementRange range = visible.faceRanges[b];
                    std::size_t k = range.first;
                    for (std::uint32_t c = batch.first; c < batch.first + batch.count; c += 3) {
                        const bool kept = k < range.first + range.count && visible.faceCorners[k] == c;
                        if (kept) {
                            ASSERT_EQ(visible.faceCorners[k + 1], c + 1) << at;
                            ASSERT_EQ(visible.faceCorners[k + 2], c + 2) << at;
                            k += 3;
                        }
                        ASSERT_TRUE(kept || (culled && !faces(arrays.facePositions, c, eye)))
                            << at << ": triangle " << c / 3 << " facing the eye left out";
                    }
                    ASSERT_EQ(k, range.first + range.count) << at << ": corners out of order";
                }
                ASSERT_EQ(visible.lineRanges.size(), arrays.lineBatches.size());
                for (std::size_t b = 0; b < arrays.lineBatches.size(); ++b) {
                    const LineBatch& batch = arrays.lineBatches[b];
                    const ElementRange range = visible.lineRanges[b];
                    std::size_t k = range.first;
                    for (std::uint32_t e = batch.first; e < batch.first + batch.count; e += 2) {
                        if (k < range.first + range.count && visible.lineEnds[k] == e) {
                            ASSERT_EQ(visible.lineEnds[k + 1], e + 1) << at;
                            k += 2;
                            continue;
                        }
                        ++leftOut;
                        ASSERT_TRUE(shape.hides && outside) << at << ": line " << e / 2 << " left out";
                        const Vec3 a = corner(arrays.linePositions, e), z = corner(arrays.linePositions, e + 1);
                        for (const double f : {0.25, 0.5, 0.75})
                            ASSERT_TRUE(hiddenBehindAFace(arrays, eye, a + (z - a) * f))
                                << at << ": line " << e / 2 << " left out in sight";
                    }
                    ASSERT_EQ(k, range.first + range.count) << at << ": ends out of order";
                }
            }
        }
        if (shape.hides) {
            EXPECT_GT(leftOut, 100) << shape.name << ": the far side is drawn";
        }
        // An eye in the plane of a triangle sees it edge on: the rasteriser
        // decides, so it is kept.
        for (std::uint32_t c = 0; c < 60 && c + 3 <= arrays.facePositions.size() / 3; c += 3) {
            const Vec3 a = corner(arrays.facePositions, c);
            const Vec3 eye = a + (corner(arrays.facePositions, c + 1) - a) * 7.0;
            findVisibleElements(arrays, eye, 0.0, true, visible);
            EXPECT_NE(std::find(visible.faceCorners.begin(), visible.faceCorners.end(), c), visible.faceCorners.end())
                << shape.name << ": triangle " << c / 3 << " seen edge on left out";
        }
    }
}

} // namespace
} // namespace nettor
