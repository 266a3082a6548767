#pragma once
// Reading a model may be given up from another thread. While a
// ReadingCancelScope lives on a thread, the readers on that thread look at
// its flag now and then (every few thousand tokens, lines or chunks) and,
// once it is set, stop as they do on a malformed file. Whoever set the flag
// drops what comes back.
#include <atomic>

namespace nettor {

class ReadingCancelScope {
public:
    explicit ReadingCancelScope(const std::atomic<bool>& flag);
    ~ReadingCancelScope();
    ReadingCancelScope(const ReadingCancelScope&) = delete;
    ReadingCancelScope& operator=(const ReadingCancelScope&) = delete;

private:
    const std::atomic<bool>* previous_;
};

// Whether the reading on this thread has been given up; false outside a scope.
bool readingCancelled();

// For a reader's loop: looks at the flag on the first call and then on every
// kStride-th, so that the loop pays next to nothing for it.
class CancelCheck {
public:
    static constexpr int kStride = 4096;
    bool operator()()
    {
        if (--countdown_ > 0) return false;
        countdown_ = kStride;
        return readingCancelled();
    }

private:
    int countdown_ = 1;
};

} // namespace nettor
