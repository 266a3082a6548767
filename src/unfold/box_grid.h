#pragma once
// A uniform grid over boxes that come and go: cells of a fixed size, kept
// in a hash table so that the covered area may grow without bound. Boxes
// over very many cells, or not finite, are kept aside and always listed.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace nettor {

// The engine's one 2D box: an axis-aligned extent on the pattern or the
// sheet, edges included.
struct GridBox {
    double minX, minY, maxX, maxY;
};

class BoxGrid {
public:
    // Cells of this size; a size that is not positive and finite keeps every
    // box aside.
    explicit BoxGrid(double cellSize = 0.0);

    // Adds box number id (ids are small integers chosen by the caller, each
    // present at most once).
    void insert(std::uint32_t id, const GridBox& box);
    void remove(std::uint32_t id);
    void clear();

    // Calls visit(id) once for every present box that shares a cell with the
    // query, and every box kept aside, until a call returns true; returns
    // whether one did. Every present box that meets the query (edges
    // included) is visited. A query that is not finite visits every box.
    template <class Visit>
    bool anyNear(const GridBox& query, Visit&& visit) const
    {
        for (std::uint32_t id : aside_)
            if (visit(static_cast<std::size_t>(id))) return true;
        Range q;
        if (!cellRange(query, q)) {
            for (std::uint32_t id = 0; id < ranges_.size(); ++id)
                if (ranges_[id].present && !ranges_[id].aside && visit(static_cast<std::size_t>(id)))
                    return true;
            return false;
        }
        const std::int64_t cells = q.span();
        if (cells > static_cast<std::int64_t>(cells_.size())) {
            // Wider than everything there is: walk the occupied cells instead.
            for (const auto& [key, ids] : cells_) {
                const std::int64_t cx = keyX(key), cy = keyY(key);
                if (cx < q.x0 || cx > q.x1 || cy < q.y0 || cy > q.y1) continue;
                for (std::uint32_t id : ids)
                    if (firstShared(id, q) == key && visit(static_cast<std::size_t>(id))) return true;
            }
            return false;
        }
        for (std::int64_t cy = q.y0; cy <= q.y1; ++cy)
            for (std::int64_t cx = q.x0; cx <= q.x1; ++cx) {
                const auto it = cells_.find(makeKey(cx, cy));
                if (it == cells_.end()) continue;
                for (std::uint32_t id : it->second) {
                    // A box over several cells is visited in the first cell
                    // it shares with the query only.
                    const Range& r = ranges_[id];
                    if ((r.x0 > q.x0 ? r.x0 : q.x0) != cx || (r.y0 > q.y0 ? r.y0 : q.y0) != cy) continue;
                    if (visit(static_cast<std::size_t>(id))) return true;
                }
            }
        return false;
    }

private:
    struct Range {
        // Cell numbers stay within 2^30 each way; spans are taken in 64 bits.
        std::int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        bool present = false;
        bool aside = false;
        std::uint32_t asideAt = 0;
        std::int64_t span() const
        {
            return (std::int64_t{x1} - x0 + 1) * (std::int64_t{y1} - y0 + 1);
        }
    };
    bool cellRange(const GridBox& box, Range& range) const;
    static std::uint64_t makeKey(std::int64_t cx, std::int64_t cy)
    {
        return (static_cast<std::uint64_t>(cx + kOffset) << 32) | static_cast<std::uint64_t>(cy + kOffset);
    }
    static std::int64_t keyX(std::uint64_t key) { return static_cast<std::int64_t>(key >> 32) - kOffset; }
    static std::int64_t keyY(std::uint64_t key)
    {
        return static_cast<std::int64_t>(key & 0xffffffffu) - kOffset;
    }
    std::uint64_t firstShared(std::uint32_t id, const Range& q) const
    {
        const Range& r = ranges_[id];
        return makeKey(r.x0 > q.x0 ? r.x0 : q.x0, r.y0 > q.y0 ? r.y0 : q.y0);
    }

    static constexpr std::int64_t kOffset = std::int64_t{1} << 30;
    double inverseCell_ = 0.0;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
    std::vector<Range> ranges_;         // by id
    std::vector<std::uint32_t> aside_;  // ids of boxes kept aside
};

} // namespace nettor
