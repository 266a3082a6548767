#pragma once
// The faces of the search's parts filed by grid cell: a flat open-addressing
// table from a (part, cell) key to a list of faces, the list nodes in one
// pool. Inserting and removing allocate nothing once the pool and the table
// have grown, which matters because every join and every undone move files
// faces anew.
#include <cstdint>
#include <vector>

namespace nettor {

class PartCellGrid {
public:
    static constexpr std::uint64_t kNoKey = ~std::uint64_t{0};

    // Empties the grid; room for about this many entries.
    void clear(std::size_t expectedEntries);
    // key must not be kNoKey.
    void insert(std::uint64_t key, int face);
    // Removes one entry of the face under the key, if there is one.
    void remove(std::uint64_t key, int face);
    // Calls visit(face) for the faces under the key until it returns true;
    // returns whether it did.
    template <class Visit>
    bool any(std::uint64_t key, Visit&& visit) const
    {
        const std::size_t s = find(key);
        if (s == kNone) return false;
        for (int n = slots_[s].head; n >= 0; n = nodes_[n].next)
            if (visit(nodes_[n].face)) return true;
        return false;
    }

private:
    static constexpr std::size_t kNone = ~std::size_t{0};
    struct Slot {
        std::uint64_t key = kNoKey;
        int head = -1; // -1: the key's list is empty
    };
    struct Node {
        int face;
        int next;
    };

    std::size_t home(std::uint64_t key) const { return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_); }
    std::size_t find(std::uint64_t key) const;
    std::size_t findOrAdd(std::uint64_t key);
    void rehash(std::size_t liveKeys);

    std::vector<Slot> slots_;
    std::vector<Node> nodes_;
    int freeNode_ = -1;
    std::size_t usedSlots_ = 0; // slots holding a key, their list empty or not
    unsigned shift_ = 60;
};

} // namespace nettor
