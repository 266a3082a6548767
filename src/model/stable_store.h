#pragma once
// A grow-only container whose elements never move: storage comes in chunks
// that double in size up to a limit, so a model of millions of records needs
// only a few hundred allocations.
#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace nettor {

void* allocateStoreChunk(std::size_t bytes);
void releaseStoreChunk(void* chunk, std::size_t bytes);

template <class T>
class StableStore {
public:
    StableStore() = default;
    StableStore(const StableStore&) = delete;
    StableStore& operator=(const StableStore&) = delete;
    ~StableStore() { clear(); }

    template <class... Args>
    T& emplace_back(Args&&... args)
    {
        if (chunks_.empty() || chunks_.back().used == chunks_.back().capacity) grow();
        Chunk& c = chunks_.back();
        T* slot = c.items + c.used;
        ::new (static_cast<void*>(slot)) T(std::forward<Args>(args)...);
        ++c.used;
        ++size_;
        return *slot;
    }

    // Destroys the most recently added element.
    void pop_back()
    {
        if (size_ == 0) return;
        Chunk& c = chunks_.back();
        c.items[--c.used].~T();
        --size_;
        if (c.used == 0) {
            releaseStoreChunk(c.items, c.capacity * sizeof(T));
            chunks_.pop_back();
        }
    }

    std::size_t size() const { return size_; }

    void clear()
    {
        for (Chunk& c : chunks_) {
            for (std::size_t i = 0; i < c.used; ++i) c.items[i].~T();
            releaseStoreChunk(c.items, c.capacity * sizeof(T));
        }
        chunks_.clear();
        size_ = 0;
    }

private:
    struct Chunk {
        T* items;
        std::size_t used;
        std::size_t capacity;
    };
    static constexpr std::size_t kFirstChunk = 64;
    static constexpr std::size_t kLargestChunkBytes = std::size_t{32} << 20;

    void grow()
    {
        std::size_t capacity = chunks_.empty() ? kFirstChunk : chunks_.back().capacity * 2;
        capacity = std::min(capacity, std::max<std::size_t>(kLargestChunkBytes / sizeof(T), 1));
        T* items = static_cast<T*>(allocateStoreChunk(capacity * sizeof(T)));
        chunks_.push_back({items, 0, capacity});
    }

    std::vector<Chunk> chunks_;
    std::size_t size_ = 0;
};

} // namespace nettor
