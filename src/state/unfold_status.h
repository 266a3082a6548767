#pragma once
// Progress and mode flags of the unfolding. The worker thread and the
// user-interface thread share them, so every field is atomic.
#include <atomic>
#include <cstdint>

namespace nettor {

struct UnfoldStatus {
    std::atomic<std::int32_t> unfoldedFaceCount{0};
    std::atomic<std::int32_t> totalFaceCount{0};
    std::atomic<std::int32_t> partCount{0};
    std::atomic<bool> finished{false};        // every face placed, completion started
    std::atomic<bool> busy{false};            // automatic unfolding or completion running
    std::atomic<bool> quiet{false};           // unfolding runs on the worker thread
    std::atomic<bool> cancelRequested{false}; // the progress dialog asked to stop
    std::atomic<bool> undoAvailable{false};   // the last step was a Connect Edge pick
    std::atomic<bool> invertAllowed{false};   // Invert faces is enabled
    std::atomic<std::int32_t> bestPartCount{0}; // search for fewer parts: best so far, 0 for none yet
    std::atomic<std::int32_t> searchRounds{0};  // search for fewer parts: rounds its last run made, 0 for none
};

} // namespace nettor
