// The search's cell grid against a plain map of multisets: random inserts
// and removes over few keys (long lists, emptied and refilled lists) and
// many keys (the table grows and drops the keys of empty lists).
#include "unfold/part_cell_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

using nettor::PartCellGrid;

namespace {

std::multiset<int> facesUnder(const PartCellGrid& grid, std::uint64_t key)
{
    std::multiset<int> faces;
    EXPECT_FALSE(grid.any(key, [&](int f) {
        faces.insert(f);
        return false;
    }));
    return faces;
}

} // namespace

TEST(PartCellGrid, HoldsWhatAMapOfMultisetsHolds)
{
    std::mt19937 rng(4);
    for (const std::uint64_t keyCount : {3u, 5000u}) {
        SCOPED_TRACE(keyCount);
        PartCellGrid grid;
        grid.clear(8);
        std::map<std::uint64_t, std::multiset<int>> expected;
        auto keyOf = [&](std::uint64_t i) { return (i << 42) ^ (i * 7919u); }; // spread over the bits as cell keys are
        for (int step = 0; step < 40000; ++step) {
            const std::uint64_t key = keyOf(rng() % keyCount);
            const int face = static_cast<int>(rng() % 6);
            if (rng() % 5 < 3) {
                grid.insert(key, face);
                expected[key].insert(face);
            } else {
                grid.remove(key, face); // also of faces that are not there
                auto& faces = expected[key];
                if (const auto at = faces.find(face); at != faces.end()) faces.erase(at);
            }
        }
        for (std::uint64_t i = 0; i < keyCount; ++i) EXPECT_EQ(facesUnder(grid, keyOf(i)), expected[keyOf(i)]) << i;
        // The visit stops at the first face it accepts.
        const auto& [key, faces] = *std::find_if(expected.begin(), expected.end(),
                                                 [](const auto& entry) { return entry.second.size() > 1; });
        int visited = 0;
        EXPECT_TRUE(grid.any(key, [&](int) { return ++visited == 1; }));
        EXPECT_EQ(visited, 1);
        EXPECT_GT(faces.size(), 1u);

        grid.clear(8);
        EXPECT_TRUE(facesUnder(grid, key).empty());
    }
}
