#include "unfold/part_cell_grid.h"

#include <algorithm>

namespace nettor {

namespace {

std::size_t cellTableCapacity(std::size_t n)
{
    std::size_t p = 16;
    while (p < n) p *= 2;
    return p;
}

unsigned cellTableBits(std::size_t p)
{
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < p) ++bits;
    return bits;
}

} // namespace

void PartCellGrid::clear(std::size_t expectedEntries)
{
    const std::size_t capacity = cellTableCapacity(2 * expectedEntries);
    slots_.assign(capacity, Slot{});
    shift_ = 64 - cellTableBits(capacity);
    usedSlots_ = 0;
    nodes_.clear();
    nodes_.reserve(expectedEntries);
    freeNode_ = -1;
}

std::size_t PartCellGrid::find(std::uint64_t key) const
{
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = home(key);; s = (s + 1) & mask) {
        if (slots_[s].key == key) return s;
        if (slots_[s].key == kNoKey) return kNone;
    }
}

std::size_t PartCellGrid::findOrAdd(std::uint64_t key)
{
    if (2 * (usedSlots_ + 1) > slots_.size()) {
        std::size_t live = 0;
        for (const Slot& s : slots_) live += s.head >= 0;
        rehash(live + 1);
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = home(key);; s = (s + 1) & mask) {
        if (slots_[s].key == key) return s;
        if (slots_[s].key == kNoKey) {
            slots_[s].key = key;
            ++usedSlots_;
            return s;
        }
    }
}

// A table for the keys whose lists are not empty, with room to grow: the
// keys of empty lists are dropped here.
void PartCellGrid::rehash(std::size_t liveKeys)
{
    std::vector<Slot> old = std::move(slots_);
    const std::size_t capacity = cellTableCapacity(4 * liveKeys);
    slots_.assign(capacity, Slot{});
    shift_ = 64 - cellTableBits(capacity);
    usedSlots_ = 0;
    const std::size_t mask = capacity - 1;
    for (const Slot& o : old) {
        if (o.head < 0) continue;
        std::size_t s = home(o.key);
        while (slots_[s].key != kNoKey) s = (s + 1) & mask;
        slots_[s] = o;
        ++usedSlots_;
    }
}

void PartCellGrid::insert(std::uint64_t key, int face)
{
    const std::size_t s = findOrAdd(key);
    int n;
    if (freeNode_ >= 0) {
        n = freeNode_;
        freeNode_ = nodes_[n].next;
    } else {
        n = static_cast<int>(nodes_.size());
        nodes_.push_back({});
    }
    nodes_[n] = {face, slots_[s].head};
    slots_[s].head = n;
}

void PartCellGrid::remove(std::uint64_t key, int face)
{
    const std::size_t s = find(key);
    if (s == kNone) return;
    for (int* link = &slots_[s].head; *link >= 0; link = &nodes_[*link].next) {
        const int n = *link;
        if (nodes_[n].face != face) continue;
        *link = nodes_[n].next;
        nodes_[n].next = freeNode_;
        freeNode_ = n;
        return;
    }
}

} // namespace nettor
