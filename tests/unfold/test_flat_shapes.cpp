// Faces kept ready for overlap tests give facesOverlap's verdicts exactly.
#include "unfold/flat_shapes.h"
#include "unfold/overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace nettor;

namespace {

using Poly = std::vector<PatternPoint>;

// Faces of the kinds the engine lays flat, near each other: triangles,
// convex and non-convex polygons, thin slivers, repeated and collinear
// corners, neighbours sharing a side, copies, and corners that are not
// finite.
Poly randomFace(std::mt19937& rng, const std::vector<Poly>& earlier)
{
    std::uniform_real_distribution<double> coord(-2.0, 2.0), unit(0.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 7);
    Poly p;
    switch (kind(rng)) {
    case 0: // a triangle
    case 1:
        for (int i = 0; i < 3; ++i) p.push_back({coord(rng), coord(rng)});
        break;
    case 2: { // a star: non-convex
        const double cx = coord(rng), cy = coord(rng);
        const int n = 5 + static_cast<int>(unit(rng) * 5);
        for (int i = 0; i < 2 * n; ++i) {
            const double a = std::acos(-1.0) * i / n, r = i % 2 ? 0.3 + unit(rng) * 0.2 : 1.0;
            p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        break;
    }
    case 3: // a sliver
        p = {{0, 0}, {coord(rng), coord(rng)}, {0, 0}};
        p[2] = {p[1].x * 0.5 + 1e-12, p[1].y * 0.5};
        break;
    case 4: // a quadrilateral with a repeated corner
        p = {{coord(rng), coord(rng)}, {coord(rng), coord(rng)}, {coord(rng), coord(rng)}};
        p.insert(p.begin() + 1, p[1]);
        break;
    case 5: // across a side of an earlier face, or on top of it
        if (!earlier.empty()) {
            const Poly& e = earlier[static_cast<std::size_t>(unit(rng) * earlier.size()) % earlier.size()];
            if (unit(rng) < 0.3) return e;
            p = {e[1], e[0], {coord(rng), coord(rng)}};
        } else {
            p = {{0, 0}, {1, 0}, {0, 1}};
        }
        break;
    case 6: // not finite
        p = {{0, 0}, {1, 0}, {unit(rng) < 0.5 ? NAN : INFINITY, 1}};
        break;
    default: // a hook: non-convex with long sides
        p = {{0, 0}, {2, 0}, {2, 2}, {1.9, 2}, {1.9, 0.1}, {0, 0.1}};
        for (PatternPoint& q : p) q = {q.x + coord(rng) * 0.5, q.y + coord(rng) * 0.5};
        break;
    }
    if (unit(rng) < 0.5) std::reverse(p.begin(), p.end());
    return p;
}

} // namespace

TEST(FlatShapes, VerdictsAreThoseOfFacesOverlap)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<Poly> faces;
        FlatShapes kept, others;
        for (int i = 0; i < 40; ++i) {
            faces.push_back(randomFace(rng, faces));
            EXPECT_EQ(kept.add(faces.back()), static_cast<FlatShapes::Id>(i));
            others.add(faces.back());
        }
        int overlapping = 0;
        for (std::size_t a = 0; a < faces.size(); ++a)
            for (std::size_t b = 0; b < faces.size(); ++b)
                for (const double tolerance : {kOverlapTolerance, 1e-3, 0.2}) {
                    const bool expected = facesOverlap(faces[a], faces[b], tolerance);
                    overlapping += expected;
                    const auto ia = static_cast<FlatShapes::Id>(a), ib = static_cast<FlatShapes::Id>(b);
                    ASSERT_EQ(FlatShapes::overlap(kept, ia, others, ib, tolerance), expected)
                        << "round " << round << ", faces " << a << " and " << b << ", tolerance " << tolerance;
                }
        // The faces are near enough to each other for both verdicts to occur.
        EXPECT_GT(overlapping, 0);
        EXPECT_LT(overlapping, 3 * 40 * 40);
        kept.clear();
        EXPECT_EQ(kept.size(), 0u);
        EXPECT_EQ(kept.add(faces[0]), 0u);
    }
}
