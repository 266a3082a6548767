// Record pools: records stay where they are, released ones are skipped and
// the latest given back, and only the pool's own records are recognised.
#include "model/record_pool.h"
#include "model/unfold_records.h"

#include <gtest/gtest.h>

#include <vector>

using nettor::PatternPoint;
using nettor::RecordPool;

TEST(RecordPool, KeepsRecordsInPlaceAcrossChunksAndSkipsReleasedOnes)
{
    RecordPool<PatternPoint> pool;
    std::vector<PatternPoint*> records;
    for (int i = 0; i < 10000; ++i) records.push_back(pool.add({double(i), -double(i)}));
    for (int i = 0; i < 10000; i += 997) {
        EXPECT_EQ(records[i]->x, i);
        EXPECT_EQ(pool.slotOf(records[i]), std::size_t(i));
    }
    PatternPoint outside;
    EXPECT_EQ(pool.slotOf(&outside), pool.kNone);
    EXPECT_EQ(pool.slotOf(nullptr), pool.kNone);
    pool.release(&outside);

    // A record in the middle is skipped; releasing it twice changes nothing.
    pool.release(records[5000]);
    pool.release(records[5000]);
    EXPECT_EQ(pool.size(), 9999u);
    EXPECT_EQ(pool.slotCount(), 10000u);
    std::size_t seen = 0;
    double previous = -1;
    for (const PatternPoint* p : pool) {
        EXPECT_NE(p, records[5000]);
        EXPECT_GT(p->x, previous);
        previous = p->x;
        ++seen;
    }
    EXPECT_EQ(seen, 9999u);

    // The latest records are given back, with the released ones before them.
    for (int i = 5001; i < 10000; ++i) pool.release(records[i]);
    EXPECT_EQ(pool.size(), 5000u);
    EXPECT_EQ(pool.slotCount(), 5000u);
    PatternPoint* again = pool.add({7, 7});
    EXPECT_EQ(again, records[5000]);
    EXPECT_EQ(again->x, 7);
    EXPECT_EQ(records[4999]->x, 4999);

    pool.clear();
    EXPECT_EQ(pool.size(), 0u);
    EXPECT_EQ(pool.begin(), pool.end());
}
