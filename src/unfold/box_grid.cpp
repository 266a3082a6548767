#include "unfold/box_grid.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {
constexpr double kCellLimit = 1073741000.0; // cell numbers stay within 2^30 each way
constexpr std::int64_t kMostCells = 64;     // a box over more cells is kept aside
} // namespace

BoxGrid::BoxGrid(double cellSize)
{
    if (cellSize > 0.0 && std::isfinite(cellSize) && std::isfinite(1.0 / cellSize))
        inverseCell_ = 1.0 / cellSize;
}

bool BoxGrid::cellRange(const GridBox& box, Range& range) const
{
    if (inverseCell_ == 0.0) return false;
    // floor(v) lies strictly within the limit exactly when v does, the lower
    // limit raised by one; within it, truncation corrected by one below zero
    // is floor, without a call.
    std::int32_t cell[4];
    const double v[4] = {box.minX * inverseCell_, box.minY * inverseCell_, box.maxX * inverseCell_,
                         box.maxY * inverseCell_};
    for (int i = 0; i < 4; ++i) {
        if (!(v[i] >= 1.0 - kCellLimit && v[i] < kCellLimit)) return false;
        const auto t = static_cast<std::int32_t>(v[i]);
        cell[i] = static_cast<double>(t) > v[i] ? t - 1 : t;
    }
    range.x0 = cell[0];
    range.y0 = cell[1];
    range.x1 = cell[2];
    range.y1 = cell[3];
    return range.x0 <= range.x1 && range.y0 <= range.y1;
}

void BoxGrid::insert(std::uint32_t id, const GridBox& box)
{
    if (ranges_.size() <= id) ranges_.resize(static_cast<std::size_t>(id) + 1);
    ++present_;
    Range r;
    r.present = true;
    if (!cellRange(box, r) || r.span() > kMostCells) {
        r.aside = true;
        r.asideAt = static_cast<std::uint32_t>(aside_.size());
        aside_.push_back(id);
        ranges_[id] = r;
        return;
    }
    ranges_[id] = r;
    for (std::int64_t cy = r.y0; cy <= r.y1; ++cy)
        for (std::int64_t cx = r.x0; cx <= r.x1; ++cx) {
            const std::size_t slot = takeSlot(makeKey(cx, cy));
            std::vector<Entry>& entries = lists_[slot];
            if (entries.empty()) {
                occupiedAt_[slot] = static_cast<std::uint32_t>(occupiedSlots_.size());
                occupiedSlots_.push_back(static_cast<std::uint32_t>(slot));
            }
            entries.push_back({box, id, r.x0, r.y0});
        }
}

std::size_t BoxGrid::takeSlot(std::uint64_t key)
{
    if (2 * (taken_ + 1) > keys_.size()) {
        // Grow to keep the table at most half full.
        std::vector<std::uint64_t> keys(keys_.empty() ? 64 : 2 * keys_.size(), kNoKey);
        std::vector<std::vector<Entry>> lists(keys.size());
        std::vector<std::uint32_t> movedTo(keys_.size());
        const std::size_t mask = keys.size() - 1;
        for (std::size_t slot = 0; slot < keys_.size(); ++slot) {
            if (keys_[slot] == kNoKey) continue;
            std::size_t to = slotFor(keys_[slot], mask);
            while (keys[to] != kNoKey) to = (to + 1) & mask;
            keys[to] = keys_[slot];
            lists[to] = std::move(lists_[slot]);
            movedTo[slot] = static_cast<std::uint32_t>(to);
        }
        keys_ = std::move(keys);
        lists_ = std::move(lists);
        occupiedAt_.assign(keys_.size(), 0);
        for (std::size_t i = 0; i < occupiedSlots_.size(); ++i) {
            occupiedSlots_[i] = movedTo[occupiedSlots_[i]];
            occupiedAt_[occupiedSlots_[i]] = static_cast<std::uint32_t>(i);
        }
    }
    const std::size_t mask = keys_.size() - 1;
    std::size_t slot = slotFor(key, mask);
    while (keys_[slot] != key && keys_[slot] != kNoKey) slot = (slot + 1) & mask;
    if (keys_[slot] == kNoKey) {
        keys_[slot] = key;
        ++taken_;
    }
    return slot;
}

void BoxGrid::remove(std::uint32_t id)
{
    if (id >= ranges_.size() || !ranges_[id].present) return;
    --present_;
    Range& r = ranges_[id];
    r.present = false;
    if (r.aside) {
        const std::uint32_t moved = aside_.back();
        aside_[r.asideAt] = moved;
        ranges_[moved].asideAt = r.asideAt;
        aside_.pop_back();
        r.aside = false;
        return;
    }
    for (std::int64_t cy = r.y0; cy <= r.y1; ++cy)
        for (std::int64_t cx = r.x0; cx <= r.x1; ++cx) {
            const std::size_t slot = slotOf(makeKey(cx, cy));
            if (slot == keys_.size()) continue;
            std::vector<Entry>& entries = lists_[slot];
            const auto at = std::find_if(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
            if (at == entries.end()) continue;
            *at = entries.back();
            entries.pop_back();
            if (entries.empty()) {
                const std::uint32_t last = occupiedSlots_.back();
                occupiedSlots_[occupiedAt_[slot]] = last;
                occupiedAt_[last] = occupiedAt_[slot];
                occupiedSlots_.pop_back();
            }
        }
}

void BoxGrid::clear()
{
    keys_.clear();
    lists_.clear();
    taken_ = 0;
    occupiedSlots_.clear();
    occupiedAt_.clear();
    present_ = 0;
    ranges_.clear();
    aside_.clear();
}

} // namespace nettor
