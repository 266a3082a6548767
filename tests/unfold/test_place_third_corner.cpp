// Laying corners flat: the triangle rule and the fan from an anchor corner.
#include "unfold/placement.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace nettor;

TEST(PlaceThirdCorner, EquilateralCornerLiesLeftOfTheBase)
{
    const PatternPoint q = placeThirdCorner({0, 0}, {1, 0}, 1, 1, 1);
    EXPECT_NEAR(q.x, 0.5, 1e-12);
    EXPECT_NEAR(q.y, 0.8660254037844386, 1e-12);
    const PatternPoint r = placeThirdCorner({0, 0}, {1, 0}, 1, 1, 1, false);
    EXPECT_NEAR(r.x, 0.5, 1e-12);
    EXPECT_NEAR(r.y, -0.8660254037844386, 1e-12);
}

TEST(PlaceThirdCorner, KeepsDistancesOnARotatedBase)
{
    const PatternPoint a{2, 1}, b{2 - 3 * 0.6, 1 + 3 * 0.8}; // |AB| = 3
    const PatternPoint q = placeThirdCorner(a, b, 3, 4, 5);  // right angle at B
    EXPECT_NEAR(std::hypot(q.x - a.x, q.y - a.y), 5, 1e-12);
    EXPECT_NEAR(std::hypot(q.x - b.x, q.y - b.y), 4, 1e-12);
    // Left of A->B: positive cross product.
    EXPECT_GT((b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x), 0);
}

TEST(PlaceThirdCorner, NearlyCollinearCornersStayFinite)
{
    // dQA = dAB + dBQ up to rounding: the height would be the root of a
    // slightly negative number.
    const double dab = 0.1, dbq = 0.2, dqa = 0.30000000000000004;
    const PatternPoint q = placeThirdCorner({0, 0}, {0.1, 0}, dab, dbq, dqa);
    EXPECT_TRUE(std::isfinite(q.x));
    EXPECT_EQ(q.y, 0.0);
    EXPECT_NEAR(q.x, 0.3, 1e-12);
    const PatternPoint r = placeThirdCorner({0, 0}, {0, 0}, 0, 1, 1);
    EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y));
}

TEST(PlaceFanCorner, FollowsTheSideOfTheCornerInItsFace)
{
    const Vec3 up{0, 0, 1};
    // Anchor at the origin, previous corner on the y axis; a corner on the
    // +x side lies to the right of anchor->previous seen from above.
    const PatternPoint right =
        placeFanCorner({0, 0}, {0, 3}, {0, 0, 0}, {0, 3, 0}, {1, 1.5, 0}, up);
    EXPECT_NEAR(right.x, 1, 1e-12);
    EXPECT_NEAR(right.y, 1.5, 1e-12);
    const PatternPoint left =
        placeFanCorner({0, 0}, {0, 3}, {0, 0, 0}, {0, 3, 0}, {-1, 1.5, 0}, up);
    EXPECT_NEAR(left.x, -1, 1e-12);
    EXPECT_NEAR(left.y, 1.5, 1e-12);
    // Seen from below the same corner is on the other side.
    const PatternPoint flipped =
        placeFanCorner({0, 0}, {0, 3}, {0, 0, 0}, {0, 3, 0}, {1, 1.5, 0}, {0, 0, -1});
    EXPECT_NEAR(flipped.x, -1, 1e-12);
}
