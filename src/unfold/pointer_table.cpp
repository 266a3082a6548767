#include "unfold/pointer_table.h"

#include <utility>

namespace nettor {

void PointerTable::set(const void* key, std::uint32_t value)
{
    if (2 * (count_ + 1) > keys_.size()) {
        // Grow to keep the table at most half full.
        std::vector<std::uintptr_t> keys(keys_.empty() ? 64 : 2 * keys_.size(), 0);
        std::vector<std::uint32_t> values(keys.size(), 0);
        const std::size_t mask = keys.size() - 1;
        for (std::size_t slot = 0; slot < keys_.size(); ++slot) {
            if (keys_[slot] == 0) continue;
            std::size_t to = slotFor(keys_[slot], mask);
            while (keys[to] != 0) to = (to + 1) & mask;
            keys[to] = keys_[slot];
            values[to] = values_[slot];
        }
        keys_ = std::move(keys);
        values_ = std::move(values);
    }
    const std::uintptr_t k = reinterpret_cast<std::uintptr_t>(key);
    const std::size_t mask = keys_.size() - 1;
    std::size_t slot = slotFor(k, mask);
    while (keys_[slot] != k && keys_[slot] != 0) slot = (slot + 1) & mask;
    if (keys_[slot] == 0) {
        keys_[slot] = k;
        ++count_;
    }
    values_[slot] = value;
}

void PointerTable::erase(const void* key)
{
    if (count_ == 0) return;
    const std::uintptr_t k = reinterpret_cast<std::uintptr_t>(key);
    const std::size_t mask = keys_.size() - 1;
    std::size_t slot = slotFor(k, mask);
    while (keys_[slot] != k) {
        if (keys_[slot] == 0) return;
        slot = (slot + 1) & mask;
    }
    // Move back the entries after the freed slot that could not sit in
    // their own slot, so that every probe still meets its key before a gap.
    std::size_t gap = slot;
    for (std::size_t next = (gap + 1) & mask; keys_[next] != 0; next = (next + 1) & mask) {
        const std::size_t home = slotFor(keys_[next], mask);
        // The entry at next may fill the gap when its home is not in (gap, next].
        const bool homeBetween = gap < next ? (gap < home && home <= next) : (gap < home || home <= next);
        if (homeBetween) continue;
        keys_[gap] = keys_[next];
        values_[gap] = values_[next];
        gap = next;
    }
    keys_[gap] = 0;
    --count_;
}

} // namespace nettor
