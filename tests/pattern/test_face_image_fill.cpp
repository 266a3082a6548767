// The geometry of a face filled with its image: the mapping fitted to the
// corners, the outline reaching past the sides that ask for it, and the
// repeats of the image that cover the outline.
#include "pattern/face_image_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace nettor {
namespace {

constexpr double kPi = 3.14159265358979323846;

DeviceSpot apply(const ImageMapping& m, double u, double v)
{
    return {m.a * u + m.c * v + m.e, m.b * u + m.d * v + m.f};
}

// Nonzero winding of the outline's polygons about p.
int winding(const std::vector<std::vector<DeviceSpot>>& outline, DeviceSpot p)
{
    int w = 0;
    for (const auto& polygon : outline)
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const DeviceSpot& a = polygon[i];
            const DeviceSpot& b = polygon[(i + 1) % polygon.size()];
            const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y && b.y > p.y && side > 0) ++w;
            if (a.y > p.y && b.y <= p.y && side < 0) --w;
        }
    return w;
}

double area2(const std::vector<DeviceSpot>& polygon)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const DeviceSpot& p = polygon[i];
        const DeviceSpot& q = polygon[(i + 1) % polygon.size()];
        sum += p.x * q.y - q.x * p.y;
    }
    return sum;
}

// Distance from p to the boundary of the polygon.
double boundaryDistance(const std::vector<DeviceSpot>& polygon, DeviceSpot p)
{
    double best = INFINITY;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const DeviceSpot& a = polygon[i];
        const DeviceSpot& b = polygon[(i + 1) % polygon.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

TEST(FaceImageFill, TheFittedMappingCarriesEveryTextureCoordinateToItsCorner)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(-3.0, 3.0), big(-500.0, 500.0);
    for (int round = 0; round < 200; ++round) {
        ImageMapping m{big(rng), big(rng), big(rng), big(rng), big(rng), big(rng)};
        if (std::abs(m.a * m.d - m.b * m.c) < 1.0) continue;
        // A triangle, or a parallelogram and its centre: shapes an affine
        // mapping carries exactly.
        std::vector<std::pair<double, double>> uvs{{any(rng), any(rng)}, {any(rng), any(rng)}, {any(rng), any(rng)}};
        if (round % 2) uvs.push_back({uvs[2].first + uvs[0].first - uvs[1].first, uvs[2].second + uvs[0].second - uvs[1].second});
        std::vector<MappedCorner> corners;
        for (const auto& [u, v] : uvs) corners.push_back({apply(m, u, v), u, v});
        const auto fitted = fitImageMapping(corners);
        const double uvArea = std::abs((uvs[1].first - uvs[0].first) * (uvs[2].second - uvs[0].second) -
                                       (uvs[2].first - uvs[0].first) * (uvs[1].second - uvs[0].second));
        if (uvArea < 1e-3) continue;
        ASSERT_TRUE(fitted) << "round " << round;
        for (const MappedCorner& c : corners) {
            const DeviceSpot at = apply(*fitted, c.u, c.v);
            EXPECT_NEAR(at.x, c.at.x, 1e-6 * (1 + std::abs(c.at.x)));
            EXPECT_NEAR(at.y, c.at.y, 1e-6 * (1 + std::abs(c.at.y)));
        }
    }
    // No mapping from texture coordinates on one line, onto places on one
    // line, or from fewer than three corners.
    EXPECT_FALSE(fitImageMapping({{{0, 0}, 0, 0}, {{1, 0}, 0.5, 0.5}, {{0, 1}, 1, 1}}));
    EXPECT_FALSE(fitImageMapping({{{0, 0}, 0, 0}, {{1, 1}, 1, 0}, {{2, 2}, 0, 1}}));
    EXPECT_FALSE(fitImageMapping({{{0, 0}, 0, 0}, {{1, 0}, 1, 0}}));
}

TEST(FaceImageFill, TheOutlineReachesAsFarPastEachSideAsItAsks)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 60; ++round) {
        // A convex polygon about the origin, turning either way.
        const int n = 3 + round % 6;
        std::vector<double> angles;
        for (int i = 0; i < n; ++i) angles.push_back(2 * kPi * (i + 0.8 * unit(rng)) / n);
        std::vector<DeviceSpot> polygon;
        for (double a : angles) polygon.push_back({100 * std::cos(a), 100 * std::sin(a)});
        if (round % 2) std::reverse(polygon.begin(), polygon.end());
        const double reach = 2 + 10 * unit(rng);
        std::vector<double> reaches(static_cast<std::size_t>(n), reach);
        const std::size_t bare = static_cast<std::size_t>(round) % polygon.size();
        reaches[bare] = 0.0; // a side that asks for nothing

        const auto outline = reachingOutline(polygon, reaches);
        for (const auto& part : outline) EXPECT_GT(area2(part) * area2(polygon), 0.0) << "every part turns alike";
        // Points past a side that asks for the reach: inside up to it, outside beyond it.
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const DeviceSpot& a = polygon[i];
            const DeviceSpot& b = polygon[(i + 1) % polygon.size()];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            const double sign = area2(polygon) > 0 ? 1.0 : -1.0;
            const double nx = sign * (b.y - a.y) / length, ny = -sign * (b.x - a.x) / length;
            const DeviceSpot middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
            const DeviceSpot justPast{middle.x + nx * 0.5, middle.y + ny * 0.5};
            if (i == bare) {
                EXPECT_EQ(winding(outline, justPast), 0) << "round " << round << ": past the bare side";
                continue;
            }
            EXPECT_NE(winding(outline, {middle.x + nx * reach * 0.95, middle.y + ny * reach * 0.95}), 0) << round;
        }
        // Anywhere: inside the polygon is inside; farther than the reach is outside; so is a point whose
        // nearest side is the bare one, and within the reach of none other.
        for (int k = 0; k < 400; ++k) {
            const DeviceSpot p{-130 + 260 * unit(rng), -130 + 260 * unit(rng)};
            const bool inPolygon = winding({polygon}, p) != 0;
            const double d = boundaryDistance(polygon, p);
            const bool nearBare = boundaryDistance({polygon[bare], polygon[(bare + 1) % polygon.size()]}, p) <= reach * 1.5;
            if (inPolygon) {
                EXPECT_NE(winding(outline, p), 0);
            } else if (d > reach * 1.0001) {
                EXPECT_EQ(winding(outline, p), 0) << "round " << round;
            } else if (d < reach * 0.95 && !nearBare) {
                EXPECT_NE(winding(outline, p), 0) << "round " << round << " at " << p.x << ", " << p.y;
            }
        }
    }
}

TEST(FaceImageFill, TheRepeatsCoverTheOutlineAndStayWithinTheLimit)
{
    const ImageMapping m{200, 10, -30, 150, 40, -60};
    const double det = m.a * m.d - m.b * m.c;
    // An outline whose texture coordinates run from -0.5 to 1.5: three by three repeats.
    const std::vector<std::vector<DeviceSpot>> outline{
        {apply(m, -0.5, -0.5), apply(m, 1.5, -0.5), apply(m, 1.5, 1.5), apply(m, -0.5, 1.5)}};
    const auto repeats = imageRepeats(m, outline);
    ASSERT_EQ(repeats.size(), 9u);
    for (const auto& polygon : outline)
        for (const DeviceSpot& p : polygon) {
            bool covered = false;
            for (const ImageMapping& r : repeats) {
                const double x = p.x - r.e, y = p.y - r.f;
                const double u = (m.d * x - m.c * y) / det, v = (m.a * y - m.b * x) / det;
                covered |= u >= -1e-9 && u <= 1 + 1e-9 && v >= -1e-9 && v <= 1 + 1e-9;
            }
            EXPECT_TRUE(covered) << p.x << ", " << p.y;
        }
    // Within one image: one repeat, the mapping itself.
    const auto one = imageRepeats(m, {{apply(m, 0.1, 0.1), apply(m, 0.9, 0.2), apply(m, 0.5, 0.9)}});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].e, m.e);
    EXPECT_EQ(one[0].f, m.f);
    // Texture coordinates running over a hundred repeats: no more than the limit.
    const auto many = imageRepeats(m, {{apply(m, 0, 0), apply(m, 100, 0), apply(m, 100, 100)}});
    EXPECT_GE(many.size(), 1u);
    EXPECT_LE(many.size(), static_cast<std::size_t>(kMaxImageRepeats));
}

} // namespace
} // namespace nettor
