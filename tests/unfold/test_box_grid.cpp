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

// Boxes small and large (kept aside), added and removed in random order,
// in one layer, a few, and many (cells of many layers come and go, so the
// table is rebuilt without the empty ones; crowded into a few cells, the
// same cell of many layers fills one run of slots): a query visits every present
// box of its layer that meets it once, and no removed box nor a box of
// another layer; wide queries (more cells than are occupied) and queries
// that are not finite included.
TEST(BoxGrid, VisitsEveryPresentBoxOfTheLayerThatMeetsTheQueryOnce)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> size(0.0, 3.0);
    for (const std::uint32_t layers : {1u, 3u, 400u})
        for (const auto& [cell, spread] : {std::pair{0.5, 20.0}, std::pair{4.0, 20.0}, std::pair{4.0, 1.0}}) {
            SCOPED_TRACE(testing::Message() << layers << " layers, cell " << cell << ", spread " << spread);
            std::uniform_real_distribution<double> coord(-spread, spread);
            BoxGrid grid(cell);
            struct Filed {
                GridBox box;
                std::uint32_t layer;
            };
            std::map<std::uint32_t, Filed> present;
            for (int step = 0; step < 6000; ++step) {
                const auto id = static_cast<std::uint32_t>(rng() % 300);
                if (present.count(id)) {
                    grid.remove(id);
                    present.erase(id);
                } else {
                    const double x = coord(rng), y = coord(rng);
                    const double grow = rng() % 20 == 0 ? 30.0 : 1.0; // some over very many cells
                    const GridBox box{x, y, x + size(rng) * grow, y + size(rng)};
                    const auto layer = static_cast<std::uint32_t>(rng() % layers);
                    if (layers == 1)
                        grid.insert(id, box);
                    else
                        grid.insert(id, box, layer);
                    present[id] = {box, layer};
                }
                if (step % 7 != 0) continue;
                const double x = coord(rng), y = coord(rng), w = rng() % 5 == 0 ? 60.0 : size(rng);
                const GridBox query = step % 91 == 0 ? GridBox{NAN, y, x, y} : GridBox{x, y, x + w, y + size(rng)};
                // Query the layer of a present box, so that many layers
                // have something to find.
                const std::uint32_t layer = present.empty() ? 0 : present.begin()->second.layer;
                std::multiset<std::uint32_t> visited;
                const auto visit = [&](std::size_t i) {
                    visited.insert(static_cast<std::uint32_t>(i));
                    return false;
                };
                if (layers == 1)
                    grid.anyNear(query, visit);
                else
                    grid.anyNear(layer, query, visit);
                for (std::uint32_t v : visited) {
                    EXPECT_EQ(visited.count(v), 1u) << "step " << step;
                    ASSERT_TRUE(present.count(v)) << "removed box " << v << " visited at step " << step;
                    EXPECT_EQ(present[v].layer, layer) << "box " << v << " of another layer at step " << step;
                }
                for (const auto& [i, filed] : present)
                    if (filed.layer == layer && (!std::isfinite(query.minX) || meets(filed.box, query))) {
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
