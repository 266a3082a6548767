#pragma once
// A table from pointers to small numbers for the engine's bookkeeping of a
// growing part: open, with linear probing over a power of two of slots and
// no node per entry, so that a look-up is a hash and a few compares.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nettor {

class PointerTable {
public:
    // The number kept for key, or null when there is none.
    const std::uint32_t* find(const void* key) const
    {
        if (count_ == 0) return nullptr;
        const std::uintptr_t k = reinterpret_cast<std::uintptr_t>(key);
        const std::size_t mask = keys_.size() - 1;
        for (std::size_t slot = slotFor(k, mask);; slot = (slot + 1) & mask) {
            if (keys_[slot] == k) return &values_[slot];
            if (keys_[slot] == 0) return nullptr;
        }
    }
    bool contains(const void* key) const { return find(key) != nullptr; }
    // Keeps value for key (a key that is not null), replacing any number kept.
    void set(const void* key, std::uint32_t value);
    // Forgets key; nothing when it is not kept.
    void erase(const void* key);
    std::size_t size() const { return count_; }

private:
    static std::size_t slotFor(std::uintptr_t key, std::size_t mask)
    {
        return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }
    std::vector<std::uintptr_t> keys_; // by slot; 0: free
    std::vector<std::uint32_t> values_;
    std::size_t count_ = 0;
};

} // namespace nettor
