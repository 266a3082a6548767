// The grid of boxes that come and go, and the pointer table beside it.
#include "unfold/box_grid.h"
#include "unfold/pointer_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <vector>

using namespace nettor;

namespace {

bool meets(const GridBox& a, const GridBox& b)
{
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

} // namespace

// Boxes small and large (kept aside), added and removed in random order:
// a query visits every present box that meets it once, and no removed box;
// wide queries (more cells than are occupied) and queries that are not
// finite included.
TEST(BoxGrid, VisitsEveryPresentBoxThatMeetsTheQueryOnce)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(-20.0, 20.0), size(0.0, 3.0);
    for (const double cell : {0.5, 4.0}) {
        BoxGrid grid(cell);
        std::map<std::uint32_t, GridBox> present;
        for (int step = 0; step < 3000; ++step) {
            const auto id = static_cast<std::uint32_t>(rng() % 300);
            if (present.count(id)) {
                grid.remove(id);
                present.erase(id);
            } else {
                const double x = coord(rng), y = coord(rng);
                const double grow = rng() % 20 == 0 ? 30.0 : 1.0; // some over very many cells
                const GridBox box{x, y, x + size(rng) * grow, y + size(rng)};
                grid.insert(id, box);
                present[id] = box;
            }
            if (step % 7 != 0) continue;
            const double x = coord(rng), y = coord(rng), w = rng() % 5 == 0 ? 60.0 : size(rng);
            const GridBox query = step % 91 == 0 ? GridBox{NAN, y, x, y} : GridBox{x, y, x + w, y + size(rng)};
            std::multiset<std::uint32_t> visited;
            grid.anyNear(query, [&](std::size_t i) {
                visited.insert(static_cast<std::uint32_t>(i));
                return false;
            });
            for (std::uint32_t v : visited) {
                EXPECT_EQ(visited.count(v), 1u) << "step " << step;
                EXPECT_TRUE(present.count(v)) << "removed box " << v << " visited at step " << step;
            }
            for (const auto& [i, box] : present)
                if (!std::isfinite(query.minX) || meets(box, query)) {
                    EXPECT_TRUE(visited.count(i)) << "box " << i << " missed at step " << step;
                }
        }
        grid.clear();
        bool any = false;
        grid.anyNear({-100, -100, 100, 100}, [&](std::size_t) { return any = true; });
        EXPECT_FALSE(any);
    }
}

// Random keys set, replaced and erased, against std::map: erasing keeps
// every other key findable, also when the table grows and wraps round.
TEST(PointerTable, AgreesWithAMap)
{
    std::mt19937 rng(5);
    std::vector<int> objects(500);
    PointerTable table;
    std::map<const void*, std::uint32_t> expected;
    for (int step = 0; step < 20000; ++step) {
        const void* key = &objects[rng() % objects.size()];
        if (rng() % 3 == 0) {
            table.erase(key);
            expected.erase(key);
        } else {
            const auto value = static_cast<std::uint32_t>(rng());
            table.set(key, value);
            expected[key] = value;
        }
        ASSERT_EQ(table.size(), expected.size());
        if (step % 50 != 0) continue;
        for (const int& object : objects) {
            const std::uint32_t* found = table.find(&object);
            const auto it = expected.find(&object);
            ASSERT_EQ(found != nullptr, it != expected.end()) << "step " << step;
            if (found) {
                EXPECT_EQ(*found, it->second);
            }
        }
    }
}
