#pragma once
// Open's reading on a worker thread, so that the window stays drawn while a
// large file is read and the user may give the reading up. One reading is
// current at a time. A reading given up has its cancel flag set (the readers
// look at it now and then) and its result is dropped; its thread is joined
// once it has ended, and at the latest when this object goes.
#include "session/model_reading.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace nettor {

class BackgroundReading {
public:
    BackgroundReading() = default;
    // Gives every reading up and waits for its thread.
    ~BackgroundReading();
    BackgroundReading(const BackgroundReading&) = delete;
    BackgroundReading& operator=(const BackgroundReading&) = delete;

    // Starts reading path. ended, when given, is called on the worker once
    // ended() holds (also for a reading given up since). Refused (false)
    // while the current reading has been neither taken nor given up.
    bool start(const std::string& path, std::function<void()> ended = {});
    // A current reading was started and has been neither taken nor given up.
    bool running() const { return current_ != nullptr; }
    // The current reading has finished.
    bool ended() const;
    // Waits for the current reading and hands its result over.
    ReadForOpen take();
    // Gives the current reading up: nothing of it will be taken.
    void cancel();
    // Readings given up whose threads are still going (those that have
    // ended are joined here).
    int abandonedCount();

private:
    struct Job {
        std::thread thread;
        std::atomic<bool> cancel{false};
        std::atomic<bool> ended{false};
        ReadForOpen result;
    };
    void reap();

    std::unique_ptr<Job> current_;
    std::vector<std::unique_ptr<Job>> abandoned_;
};

} // namespace nettor
