// The exact overlap test of two flat faces.
#include "support/polygon_overlap.h"
#include "unfold/overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

using namespace nettor;
using nettor::test::intersectionArea;
using nettor::test::polygonArea;

namespace {

using Poly = std::vector<PatternPoint>;

constexpr double kTol = kOverlapTolerance;

bool overlap(const Poly& a, const Poly& b) { return facesOverlap(a, b, kTol); }

// Both orders and both senses of each face give the same answer.
void expectOverlap(const Poly& a, const Poly& b, bool expected, const char* what)
{
    Poly ra(a.rbegin(), a.rend()), rb(b.rbegin(), b.rend());
    EXPECT_EQ(overlap(a, b), expected) << what;
    EXPECT_EQ(overlap(b, a), expected) << what << " (swapped)";
    EXPECT_EQ(overlap(ra, rb), expected) << what << " (reversed)";
    EXPECT_EQ(overlap(rb, a), expected) << what << " (one reversed, swapped)";
}

Poly moved(Poly p, double dx, double dy)
{
    for (PatternPoint& q : p) {
        q.x += dx;
        q.y += dy;
    }
    return p;
}

// A comb: a bar 0..width along y 0..0.5, teeth of width 1 going up to y 3
// at x = 0, 2, 4, ... (gaps of width 1 between them).
Poly comb(int teeth)
{
    const double width = 2.0 * teeth - 1.0;
    Poly p = {{0, 0}, {width, 0}};
    for (int i = teeth - 1; i >= 0; --i) {
        const double l = 2.0 * i;
        if (i != teeth - 1) p.push_back({l + 1, 0.5});
        p.push_back({l + 1, 3});
        p.push_back({l, 3});
        if (i != 0) p.push_back({l, 0.5});
    }
    return p;
}

} // namespace

TEST(FacesOverlap, FacesThatOnlyTouchDoNotOverlap)
{
    const Poly t = {{0, 0}, {1, 0}, {0, 1}};
    expectOverlap(t, {{1, 0}, {1, 1}, {0, 1}}, false, "a shared side");
    expectOverlap(t, {{1, 0}, {2, 0}, {2, 1}}, false, "a shared corner");
    expectOverlap(t, {{0, 0}, {-1, -1}, {0, -2}}, false, "a corner, the faces around it");
    expectOverlap(t, {{0.2, 0}, {0.6, 0}, {0.4, -1}}, false, "a side touching part of a side");
    expectOverlap({{0, 0}, {2, 0}, {2, 1}, {0, 1}}, {{1, 1}, {3, 1}, {3, 2}, {1, 2}}, false,
                  "squares sharing half a side");
    expectOverlap(t, {{0.5, 0.5}, {2, 1}, {1, 2}}, false, "a corner on a side");
    // The same contacts with rounding in the corners: well inside the
    // tolerance they still do not overlap.
    expectOverlap(t, {{1 - 1e-13, 0}, {1, 1}, {0, 1 - 1e-13}}, false, "a shared side, rounded inward");
    expectOverlap(t, {{0.5 - 1e-12, 0.5 - 1e-12}, {2, 1}, {1, 2}}, false, "a corner just past a side");
}

TEST(FacesOverlap, FacesThatShareAreaOverlap)
{
    const Poly t = {{0, 0}, {1, 0}, {0, 1}};
    expectOverlap(t, t, true, "a face on top of itself");
    expectOverlap(t, {{0.1, 0.1}, {0.3, 0.1}, {0.1, 0.3}}, true, "a face inside another, no sides crossing");
    expectOverlap(t, {{0, 0}, {1, 0}, {0.3, 0.3}}, true, "a face inside another, sharing a side");
    expectOverlap(t, {{0, 0}, {1, 0.5}, {0.5, 1}}, true, "faces on the same side of a common corner");
    expectOverlap({{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {{1, -0.4}, {2.4, 1}, {1, 2.4}, {-0.4, 1}}, true,
                  "a square on a turned square");
    // Deeper than the tolerance is an overlap, however thin.
    expectOverlap(t, {{1 - 1e-6, 0}, {1, 1}, {0, 1 - 1e-6}}, true, "a shared side, moved inward");
    expectOverlap({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{0.5, -1}, {0.5 + 1e-7, -1}, {0.5 + 1e-7, 2}, {0.5, 2}},
                  true, "a long thin face across a square");
}

TEST(FacesOverlap, NonConvexFacesAreComparedByTheirArea)
{
    const Poly c = comb(3); // teeth at x 0..1, 2..3, 4..5; gaps 1..2 and 3..4
    expectOverlap(c, {{1, 1}, {2, 1}, {1.5, 2.5}}, false, "a triangle in a gap, touching both teeth");
    expectOverlap(c, {{1.1, 0.5}, {1.9, 0.5}, {1.9, 3}, {1.1, 3}}, false, "a bar in a gap, on the comb's bar");
    expectOverlap(c, {{2.2, 1}, {2.8, 1}, {2.5, 2}}, true, "a triangle inside a tooth");
    expectOverlap(c, {{1.2, 3.5}, {1.8, 3.5}, {1.5, 1}}, false, "a wedge into a gap");
    expectOverlap(c, {{1.2, 3.5}, {1.8, 3.5}, {1.5, 0.2}}, true, "a wedge into the bar");
    // Two combs with their teeth in each other's gaps, bars apart.
    Poly flipped;
    for (const PatternPoint& q : c) flipped.push_back({6.0 - q.x, 4.0 - q.y});
    expectOverlap(c, flipped, false, "interleaved combs");
    expectOverlap(c, moved(flipped, 0.0, -0.6), true, "interleaved combs pushed together");
    expectOverlap(c, moved(flipped, 0.5, 0.0), true, "combs with teeth on teeth");
    // A face that wraps around another without any side crossing it.
    const Poly u = {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    expectOverlap(u, {{1, 1}, {2, 1}, {2, 3}, {1, 3}}, false, "a square filling a U");
    expectOverlap(u, {{1, 0.9}, {2, 0.9}, {2, 3}, {1, 3}}, true, "a square sunk into a U");
}

TEST(FacesOverlap, FacesWithoutAreaOverlapNothing)
{
    const Poly square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    expectOverlap(square, {{0, 0}, {2, 2}, {1, 1}}, false, "corners on a line");
    expectOverlap(square, {{1, 1}, {1, 1}, {1, 1}}, false, "corners at one point");
    EXPECT_FALSE(overlap(square, {{0, 0}, {2, 2}}));
    EXPECT_FALSE(overlap(square, {{0, 0}, {2, 2}, {NAN, 1}}));
    // Corners on the sides are no corners: the square with its side
    // midpoints is the square.
    const Poly dotted = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}};
    expectOverlap(square, dotted, true, "a square on itself with extra corners");
    expectOverlap(dotted, moved(dotted, 2, 0), false, "squares with extra corners side by side");
    expectOverlap(dotted, moved(dotted, 1.5, 1.5), true, "squares with extra corners overlapping");
}

TEST(FacesOverlap, ToleranceGrowsWithTheCoordinates)
{
    const Poly near = {{0, 0}, {1, 0}, {0, 1}};
    const Poly far = moved(near, 1e4, -2e4);
    EXPECT_DOUBLE_EQ(overlapTolerance(near), kOverlapTolerance);
    EXPECT_DOUBLE_EQ(overlapTolerance(far), 2e4 * kOverlapTolerance);
    // A contact rounded by more than the plain tolerance, as far from the
    // origin as this, is no overlap with the grown tolerance and one with
    // the plain.
    const Poly neighbour = moved({{1 - 1e-6, 0}, {1, 1}, {0, 1 - 1e-6}}, 1e4, -2e4);
    EXPECT_FALSE(facesOverlap(far, neighbour, overlapTolerance(far)));
    EXPECT_TRUE(facesOverlap(far, neighbour, kOverlapTolerance));
}

// Random simple polygons (corners round a centre, each less than half a turn
// from the next, so that no two sides cross)
// against the library's polygon intersection: clear overlaps and clear
// separations must agree.
TEST(FacesOverlap, AgreesWithPolygonIntersection)
{
    std::mt19937 rng(97);
    std::uniform_real_distribution<double> centre(-1.0, 1.0), radius(0.2, 1.0), unit(0.0, 1.0);
    std::uniform_int_distribution<int> corners(3, 9);
    auto randomPolygon = [&] {
        const int n = corners(rng);
        std::vector<double> angles;
        // No two corners more than half a turn apart, seen from the centre.
        for (int i = 0; i < n; ++i) angles.push_back((i + 0.4 * unit(rng)) * 6.283185307179586 / n);
        const double cx = centre(rng), cy = centre(rng);
        Poly p;
        for (double a : angles) {
            const double r = radius(rng);
            p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        return p;
    };
    int overlapping = 0, apart = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const Poly a = randomPolygon(), b = randomPolygon();
        const double area = intersectionArea(a, b);
        ASSERT_TRUE(std::isfinite(area));
        const double smaller = std::min(polygonArea(a), polygonArea(b));
        if (!(smaller > 1e-6)) continue;
        if (area > 1e-6 * smaller) {
            ++overlapping;
            EXPECT_TRUE(overlap(a, b)) << "trial " << trial << " area " << area << [&] {
                std::ostringstream o;
                o.precision(17);
                for (auto& q : a) o << " (" << q.x << "," << q.y << ")";
                o << " |";
                for (auto& q : b) o << " (" << q.x << "," << q.y << ")";
                return o.str();
            }();
        } else if (area == 0.0) {
            ++apart;
            EXPECT_FALSE(overlap(a, b)) << "trial " << trial;
        }
    }
    // Both kinds were met often enough to mean something.
    EXPECT_GT(overlapping, 300);
    EXPECT_GT(apart, 300);
}
