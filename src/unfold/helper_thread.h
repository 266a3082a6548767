#pragma once
// A second thread that one owner hands one job at a time and then waits
// for: the owner does its own share of the work meanwhile. Everything the
// job reads or writes is the owner's to keep unchanged until wait()
// returns.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace nettor {

class HelperThread {
public:
    HelperThread();
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Starts the job; the one before must have been waited for.
    void post(std::function<void()> job);
    // Returns once the job posted last has run.
    void wait();
    // Takes back the job posted last if this thread has not begun it, and
    // says so; it will then never run. False when it has begun (or ended):
    // wait() for it then.
    bool withdraw();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool pending_ = false;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<std::uint64_t> posted_{0}; // jobs posted, and stops
    std::atomic<std::uint64_t> done_{0};   // the posted count when the last job ended
    std::thread thread_; // last: it starts once the rest is made
};

} // namespace nettor
