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

void BoxGrid::insert(std::uint32_t id, const GridBox& box, std::uint32_t layer)
{
    if (ranges_.size() <= id) ranges_.resize(static_cast<std::size_t>(id) + 1);
    ++present_;
    Range r;
    r.present = true;
    r.layer = layer;
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
            const std::size_t slot = takeSlot({makeKey(cx, cy), layer});
            std::vector<Entry>& entries = slots_[slot].list;
            if (entries.empty()) {
                if (entries.capacity() == 0 && !spareLists_.empty()) {
                    entries.swap(spareLists_.back());
                    spareLists_.pop_back();
                }
                slots_[slot].occupiedAt = static_cast<std::uint32_t>(occupiedSlots_.size());
                occupiedSlots_.push_back(static_cast<std::uint32_t>(slot));
            }
            entries.push_back({box, id, r.x0, r.y0});
        }
}

void BoxGrid::rebuild()
{
    const std::size_t live = occupiedSlots_.size();
    std::size_t size = slots_.empty() ? 64 : slots_.size();
    while (4 * (live + 1) > size) size *= 2;
    std::vector<Slot> slots(size);
    const std::size_t mask = size - 1;
    for (std::uint32_t& at : occupiedSlots_) {
        Slot& old = slots_[at];
        std::size_t to = slotFor({old.cell, old.layer}, mask);
        while (slots[to].layer != kNoLayer) to = (to + 1) & mask;
        slots[to] = std::move(old);
        at = static_cast<std::uint32_t>(to);
    }
    slots_ = std::move(slots);
    taken_ = live;
}

std::size_t BoxGrid::takeSlot(const Key& key)
{
    // At most half full, keys of empty cells included.
    if (2 * (taken_ + 1) > slots_.size()) rebuild();
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = slotFor(key, mask);
    while (!slots_[slot].holds(key) && slots_[slot].layer != kNoLayer) slot = (slot + 1) & mask;
    if (slots_[slot].layer == kNoLayer) {
        slots_[slot].cell = key.cell;
        slots_[slot].layer = key.layer;
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
            const std::size_t slot = slotOf({makeKey(cx, cy), r.layer});
            if (slot == slots_.size()) continue;
            std::vector<Entry>& entries = slots_[slot].list;
            const auto at = std::find_if(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
            if (at == entries.end()) continue;
            *at = entries.back();
            entries.pop_back();
            if (entries.empty()) {
                // The list's room goes to the next cell that needs one.
                spareLists_.push_back(std::move(entries));
                entries = {};
                const std::uint32_t last = occupiedSlots_.back();
                occupiedSlots_[slots_[slot].occupiedAt] = last;
                slots_[last].occupiedAt = slots_[slot].occupiedAt;
                occupiedSlots_.pop_back();
            }
        }
}

void BoxGrid::clear()
{
    // The table keeps its size and the lists their room, for the boxes to
    // come.
    for (Slot& slot : slots_) {
        if (slot.list.capacity() > 0) {
            slot.list.clear();
            spareLists_.push_back(std::move(slot.list));
            slot.list = {};
        }
        slot.layer = kNoLayer;
    }
    taken_ = 0;
    occupiedSlots_.clear();
    present_ = 0;
    ranges_.clear();
    aside_.clear();
}

} // namespace nettor
