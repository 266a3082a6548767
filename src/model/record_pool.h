#pragma once
// Small records that never move, kept in chunks of a fixed size: a record
// costs its own size and one bit, where a separate allocation each would
// cost three times as much. A released record is skipped from then on; the
// most recent ones are given back for reuse.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace nettor {

template <class T>
class RecordPool {
public:
    RecordPool() = default;
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    T* add(const T& value)
    {
        const std::size_t slot = slots_;
        if (slot / kChunk == chunks_.size()) {
            chunks_.push_back(std::make_unique<T[]>(kChunk));
            byAddress_.insert(std::upper_bound(byAddress_.begin(), byAddress_.end(), chunks_.back().get(),
                                               startsAfter),
                              {chunks_.back().get(), chunks_.size() - 1});
        }
        T* record = &chunks_[slot / kChunk][slot % kChunk];
        *record = value;
        released_.push_back(false);
        ++slots_;
        ++live_;
        return record;
    }

    // Releases a record of this pool; anything else (or null, or a record
    // released before) is left alone.
    void release(const T* record)
    {
        const std::size_t slot = slotOf(record);
        if (slot == kNone || released_[slot]) return;
        released_[slot] = true;
        --live_;
        while (slots_ > 0 && released_[slots_ - 1]) {
            released_.pop_back();
            --slots_;
        }
    }

    // The number of records that are not released.
    std::size_t size() const { return live_; }
    // One more than the highest slot in use: slotOf is below it.
    std::size_t slotCount() const { return slots_; }

    // The record's slot, or kNone when it is not a record of this pool.
    std::size_t slotOf(const T* record) const
    {
        if (!record || byAddress_.empty()) return kNone;
        auto it = std::upper_bound(byAddress_.begin(), byAddress_.end(), record,
                                   startsAfter);
        if (it == byAddress_.begin()) return kNone;
        --it;
        const T* base = it->first;
        if (!std::less<const T*>()(record, base + kChunk)) return kNone;
        const std::size_t slot = it->second * kChunk + static_cast<std::size_t>(record - base);
        return slot < slots_ ? slot : kNone;
    }

    void clear()
    {
        chunks_.clear();
        byAddress_.clear();
        released_.clear();
        slots_ = live_ = 0;
    }

    // The records that are not released, oldest first.
    class iterator {
    public:
        iterator(const RecordPool* pool, std::size_t slot) : pool_(pool), slot_(slot) { settle(); }
        T* const& operator*() const { return current_; }
        iterator& operator++()
        {
            ++slot_;
            settle();
            return *this;
        }
        bool operator==(const iterator& other) const { return slot_ == other.slot_; }
        bool operator!=(const iterator& other) const { return slot_ != other.slot_; }

    private:
        void settle()
        {
            while (slot_ < pool_->slots_ && pool_->released_[slot_]) ++slot_;
            current_ = slot_ < pool_->slots_ ? &pool_->chunks_[slot_ / kChunk][slot_ % kChunk] : nullptr;
        }
        const RecordPool* pool_;
        std::size_t slot_;
        T* current_ = nullptr;
    };
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, slots_); }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    static constexpr std::size_t kChunk = 4096;
    static bool startsAfter(const T* p, const std::pair<const T*, std::size_t>& chunk)
    {
        return std::less<const T*>()(p, chunk.first);
    }
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::vector<std::pair<const T*, std::size_t>> byAddress_; // chunk bases in address order
    std::vector<bool> released_;                             // per slot
    std::size_t slots_ = 0;
    std::size_t live_ = 0;
};

} // namespace nettor
