#include "unfold/helper_thread.h"

#include <utility>

namespace nettor {

namespace {

// Jobs come in quick succession: a short wait without sleeping spares the
// wake-up of a sleeping thread, which costs about as much as a short job.
constexpr int kSpins = 4000;

} // namespace

HelperThread::HelperThread() : thread_([this] { run(); }) {}

HelperThread::~HelperThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    posted_.fetch_add(1, std::memory_order_release);
    changed_.notify_all();
    thread_.join();
}

void HelperThread::post(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        pending_ = true;
    }
    posted_.fetch_add(1, std::memory_order_release);
    changed_.notify_all();
}

void HelperThread::wait()
{
    for (int i = 0; i < kSpins && done_.load(std::memory_order_acquire) != posted_.load(std::memory_order_relaxed); ++i)
        std::this_thread::yield();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !running_; });
}

bool HelperThread::withdraw()
{
    std::lock_guard lock(mutex_);
    if (!pending_) return false;
    job_ = nullptr;
    pending_ = false;
    done_.store(posted_.load(std::memory_order_relaxed), std::memory_order_release);
    return true;
}

void HelperThread::run()
{
    std::uint64_t seen = 0;
    for (;;) {
        for (int i = 0; i < kSpins && posted_.load(std::memory_order_acquire) == seen; ++i) std::this_thread::yield();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        seen = posted_.load(std::memory_order_relaxed);
        if (!pending_) return; // stopping, nothing left to do
        std::function<void()> job = std::move(job_);
        pending_ = false;
        running_ = true;
        lock.unlock();
        job();
        lock.lock();
        running_ = false;
        done_.store(posted_.load(std::memory_order_relaxed), std::memory_order_release);
        changed_.notify_all();
    }
}

} // namespace nettor
