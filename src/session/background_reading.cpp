#include "session/background_reading.h"

#include "formats/reading_cancel.h"

#include <algorithm>

namespace nettor {

BackgroundReading::~BackgroundReading()
{
    cancel();
    for (auto& job : abandoned_) job->thread.join();
}

bool BackgroundReading::start(const std::string& path, std::function<void()> ended)
{
    if (current_) return false;
    reap();
    current_ = std::make_unique<Job>();
    Job* job = current_.get();
    job->thread = std::thread([job, path, ended = std::move(ended)] {
        {
            const ReadingCancelScope scope(job->cancel);
            job->result = readForOpen(path);
        }
        job->ended.store(true, std::memory_order_release);
        if (ended) ended();
    });
    return true;
}

bool BackgroundReading::ended() const
{
    return current_ && current_->ended.load(std::memory_order_acquire);
}

ReadForOpen BackgroundReading::take()
{
    if (!current_) return {};
    current_->thread.join();
    ReadForOpen result = std::move(current_->result);
    current_.reset();
    return result;
}

void BackgroundReading::cancel()
{
    if (!current_) return;
    current_->cancel.store(true, std::memory_order_relaxed);
    abandoned_.push_back(std::move(current_));
    reap();
}

int BackgroundReading::abandonedCount()
{
    reap();
    return static_cast<int>(abandoned_.size());
}

void BackgroundReading::reap()
{
    const auto done = [](const std::unique_ptr<Job>& job) {
        if (!job->ended.load(std::memory_order_acquire)) return false;
        job->thread.join();
        return true;
    };
    abandoned_.erase(std::remove_if(abandoned_.begin(), abandoned_.end(), done), abandoned_.end());
}

} // namespace nettor
