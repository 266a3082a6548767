#pragma once
// A uniform grid over boxes that come and go: cells of a fixed size, kept
// in a hash table so that the covered area may grow without bound. Boxes
// over very many cells, or not finite, are kept aside and always listed.
// The table is open (linear probing over a power of two of slots). A cell
// that empties keeps its slot until the table is rebuilt, and its list's
// room goes to the next cell that needs one, so that boxes filed anew again
// and again allocate nothing once the grid has grown.
//
// Boxes are filed in layers: a query sees the boxes of one layer only. The
// growth of a part uses layer 0; the search for fewer parts files each
// part's faces in a layer of their own, every part in its own frame.
#include "unfold/grid_box.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nettor {

class BoxGrid {
public:
    // Cells of this size; a size that is not positive and finite keeps every
    // box aside.
    explicit BoxGrid(double cellSize = 0.0);

    // Adds box number id to the layer (ids are small integers chosen by the
    // caller, each present at most once in the whole grid; layers are below
    // 2^32 - 1).
    void insert(std::uint32_t id, const GridBox& box, std::uint32_t layer = 0);
    void remove(std::uint32_t id);
    // Removes every box.
    void clear();
    bool empty() const { return present_ == 0; }

    // Calls visit(id) once for every present box that shares a cell with the
    // query, and every box kept aside, until a call returns true; returns
    // whether one did. Every present box that meets the query (edges
    // included) is visited. A query that is not finite visits every box.
    template <class Visit>
    bool anyNear(const GridBox& query, Visit&& visit) const
    {
        return walk<false>(0, query, visit);
    }
    // The same within the layer.
    template <class Visit>
    bool anyNear(std::uint32_t layer, const GridBox& query, Visit&& visit) const
    {
        return walk<false>(layer, query, visit);
    }
    // The same, passing over the boxes in cells shared with the query that
    // do not meet it: every present box that meets the query, and every box
    // kept aside, is visited.
    template <class Visit>
    bool anyMeeting(const GridBox& query, Visit&& visit) const
    {
        return walk<true>(0, query, visit);
    }

private:
    // A box in the list of a cell, with its first cell, so that walking a
    // cell needs nothing from elsewhere.
    struct Entry {
        GridBox box;
        std::uint32_t id;
        std::int32_t x0, y0;
    };
    static bool meets(const GridBox& a, const GridBox& b)
    {
        return !(a.maxX < b.minX || a.minX > b.maxX || a.maxY < b.minY || a.minY > b.maxY);
    }

    template <bool kMeetingOnly, class Visit>
    bool walk(std::uint32_t layer, const GridBox& query, Visit& visit) const
    {
        for (std::uint32_t id : aside_)
            if (ranges_[id].layer == layer && visit(static_cast<std::size_t>(id))) return true;
        Range q;
        if (!cellRange(query, q)) {
            for (std::uint32_t id = 0; id < ranges_.size(); ++id)
                if (ranges_[id].present && !ranges_[id].aside && ranges_[id].layer == layer &&
                    visit(static_cast<std::size_t>(id)))
                    return true;
            return false;
        }
        const std::int64_t cells = q.span();
        if (cells > static_cast<std::int64_t>(occupiedSlots_.size())) {
            // Wider than everything there is: walk the occupied cells instead.
            for (const std::uint32_t slot : occupiedSlots_) {
                const Slot& cell = slots_[slot];
                if (cell.layer != layer) continue;
                const std::int64_t cx = keyX(cell.cell), cy = keyY(cell.cell);
                if (cx < q.x0 || cx > q.x1 || cy < q.y0 || cy > q.y1) continue;
                for (const Entry& e : cell.list) {
                    if ((e.x0 > q.x0 ? e.x0 : q.x0) != cx || (e.y0 > q.y0 ? e.y0 : q.y0) != cy) continue;
                    if (kMeetingOnly && !meets(e.box, query)) continue;
                    if (visit(static_cast<std::size_t>(e.id))) return true;
                }
            }
            return false;
        }
        for (std::int64_t cy = q.y0; cy <= q.y1; ++cy)
            for (std::int64_t cx = q.x0; cx <= q.x1; ++cx) {
                const std::size_t slot = slotOf({makeKey(cx, cy), layer});
                if (slot == slots_.size()) continue;
                for (const Entry& e : slots_[slot].list) {
                    // A box over several cells is visited in the first cell
                    // it shares with the query only.
                    if ((e.x0 > q.x0 ? e.x0 : q.x0) != cx || (e.y0 > q.y0 ? e.y0 : q.y0) != cy) continue;
                    if (kMeetingOnly && !meets(e.box, query)) continue;
                    if (visit(static_cast<std::size_t>(e.id))) return true;
                }
            }
        return false;
    }

    struct Range {
        // Cell numbers stay within 2^30 each way; spans are taken in 64 bits.
        std::int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        bool present = false;
        bool aside = false;
        std::uint32_t asideAt = 0;
        std::uint32_t layer = 0;
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

    // A cell of a layer; a free slot holds the layer kNoLayer.
    struct Key {
        std::uint64_t cell;
        std::uint32_t layer;
    };
    static constexpr std::uint32_t kNoLayer = ~std::uint32_t{0};
    struct Slot {
        std::uint64_t cell = 0;
        std::uint32_t layer = kNoLayer;
        std::uint32_t occupiedAt = 0; // where it is in occupiedSlots_
        std::vector<Entry> list;      // the boxes in the cell
        bool holds(const Key& key) const { return cell == key.cell && layer == key.layer; }
    };

    // The slot holding this key, or the number of slots when none does.
    std::size_t slotOf(const Key& key) const
    {
        if (slots_.empty()) return 0;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = slotFor(key, mask);; slot = (slot + 1) & mask) {
            if (slots_[slot].holds(key)) return slot;
            if (slots_[slot].layer == kNoLayer) return slots_.size();
        }
    }
    static std::size_t slotFor(const Key& key, std::size_t mask)
    {
        const std::uint64_t mixed = key.cell ^ (std::uint64_t{key.layer} * 0xC2B2AE3D27D4EB4Full);
        return static_cast<std::size_t>((mixed * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }
    // The slot of the cell with this key, taken if the cell has none.
    std::size_t takeSlot(const Key& key);
    // Rebuilds the table without the keys of empty cells, twice as large
    // when the cells holding boxes fill more than a quarter of it.
    void rebuild();

    static constexpr std::int64_t kOffset = std::int64_t{1} << 30;
    double inverseCell_ = 0.0;
    std::vector<Slot> slots_;
    std::vector<std::vector<Entry>> spareLists_;      // empty lists with room, from emptied cells
    std::size_t taken_ = 0;                           // slots with a key
    std::vector<std::uint32_t> occupiedSlots_;        // the slots of the cells holding a box
    std::vector<Range> ranges_;         // by id
    std::vector<std::uint32_t> aside_;  // ids of boxes kept aside
    std::size_t present_ = 0;
};

} // namespace nettor
