// The segment crossing test of the overlap check: the engine's
// segmentsIntersect, and the reference engine's switch around it.
#include "session/session.h"
#include "support/reference_engine/outline_overlap.h"
#include "unfold/overlap.h"

#include <gtest/gtest.h>

using namespace nettor;

namespace {

class SegmentsCrossTest : public ::testing::Test {
protected:
    Session session;
};

} // namespace

TEST_F(SegmentsCrossTest, ProperCrossing)
{
    EXPECT_TRUE(segmentsIntersect({0, 0}, {2, 2}, {0, 2}, {2, 0}, 0.001));
    EXPECT_TRUE(segmentsIntersect({0, 0}, {1, 0}, {0.5, -1}, {0.5, 1}, 0.001));
    EXPECT_FALSE(segmentsIntersect({0, 0}, {1, 0}, {2, -1}, {2, 1}, 0.001)); // lines cross beyond
    EXPECT_FALSE(segmentsIntersect({0, 0}, {1, 0}, {0.5, 0.1}, {0.5, 1}, 0.001));
}

TEST_F(SegmentsCrossTest, ContactsAtEndsDoNotCount)
{
    // Shared corner.
    EXPECT_FALSE(segmentsIntersect({0, 0}, {1, 0}, {1, 0}, {1, 1}, 0.001));
    // A side ending on the other segment's middle: at its own end.
    EXPECT_FALSE(segmentsIntersect({0, 0}, {1, 0}, {0.5, 0}, {0.5, 1}, 0.001));
    // Within a thousandth of the end, and just beyond it.
    EXPECT_FALSE(segmentsIntersect({0, 0}, {1, 0}, {0.0005, -1}, {0.0005, 1}, 0.001));
    EXPECT_TRUE(segmentsIntersect({0, 0}, {1, 0}, {0.002, -1}, {0.002, 1}, 0.001));
    // With no tolerance an end contact counts.
    EXPECT_TRUE(segmentsIntersect({0, 0}, {1, 0}, {0.5, 0}, {0.5, 1}, 0.0));
}

TEST_F(SegmentsCrossTest, ParallelCollinearAndDegenerateSegmentsDoNotCross)
{
    EXPECT_FALSE(segmentsIntersect({0, 0}, {2, 0}, {1, 0}, {3, 0}, 0.001)); // collinear overlap
    EXPECT_FALSE(segmentsIntersect({0, 0}, {2, 0}, {0, 1}, {2, 1}, 0.001));
    EXPECT_FALSE(segmentsIntersect({1, 1}, {1, 1}, {0, 2}, {2, 0}, 0.001));
    EXPECT_FALSE(segmentsIntersect({0, 2}, {2, 0}, {1, 1}, {1, 1}, 0.001));
}

TEST_F(SegmentsCrossTest, OverlapCheckOffReportsNothingButTheGeometryStays)
{
    session.overlapCheck = 0;
    EXPECT_FALSE(segmentsCross(session, {0, 0}, {2, 2}, {0, 2}, {2, 0}, 0.001));
    EXPECT_TRUE(segmentsIntersect({0, 0}, {2, 2}, {0, 2}, {2, 0}, 0.001));
}
