#include "unfold/background_unfolding.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/unfold_all.h"
#include "unfold/unfold_with_fewer_parts.h"

#include <algorithm>
#include <cstdio>

namespace nettor {

UnfoldingPlace unfoldingPlace(const EngineState& engine, const Model* model)
{
    if (!model) return UnfoldingPlace::Nothing;
    const int total = engine.status.totalFaceCount;
    if (total == engine.status.unfoldedFaceCount) return UnfoldingPlace::Nothing;
    // The search takes seconds whatever the size of the model.
    if (engine.partSearch.enabled) return UnfoldingPlace::WorkerThread;
    return total <= kCallingThreadFaceLimit ? UnfoldingPlace::CallingThread : UnfoldingPlace::WorkerThread;
}

void unfoldOnCallingThread(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    status.busy = true;
    status.quiet = false;
    unfoldAutomatically(engine, model);
    status.busy = false;
}

std::string progressTaskText(const UnfoldProgress& p)
{
    if (p.arranging) return "Arranging the unfolded patterns.";
    if (p.bestPartCount > 0) {
        char text[80];
        std::snprintf(text, sizeof text, "Searching for fewer parts: best so far %d part%s", p.bestPartCount,
                      p.bestPartCount == 1 ? "" : "s");
        return text;
    }
    const int current = std::clamp(p.unfoldedFaces + 1, 0, std::max(p.totalFaces, 0));
    char text[64];
    std::snprintf(text, sizeof text, "Unfolded faces %d / Faces %d", current, p.totalFaces);
    return text;
}

std::string progressPercentText(const UnfoldProgress& p)
{
    const double percent = p.totalFaces > 0 ? 100.0 * p.unfoldedFaces / p.totalFaces : 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "[ %5.1f %c ]", std::clamp(percent, 0.0, 100.0), '%');
    return text;
}

BackgroundUnfolding::~BackgroundUnfolding()
{
    if (running()) {
        requestCancel();
        finish();
    }
}

bool BackgroundUnfolding::start(EngineState& engine, Model& model, std::function<void()> ended)
{
    if (running()) return false;
    engine_ = &engine;
    EngineState& state = engine;
    state.status.busy = true;
    state.status.quiet = true;
    state.status.bestPartCount = 0;
    ended_ = false;
    stoppedByCancel_ = false;
    announceSuspension_ = false;
    previousListener_ = state.listener;
    deferring_ = std::make_unique<DeferringListener>(previousListener_);
    state.listener = deferring_.get();
    thread_ = std::thread([this, &engine, &model, ended = std::move(ended)] {
        stoppedByCancel_.store(unfoldAutomatically(engine, model), std::memory_order_relaxed);
        ended_.store(true, std::memory_order_release);
        if (ended) ended();
    });
    return true;
}

UnfoldProgress BackgroundUnfolding::progress() const
{
    if (!engine_) return {};
    const UnfoldStatus& status = engine_->status;
    return {status.unfoldedFaceCount, status.totalFaceCount, status.finished.load(), status.bestPartCount.load()};
}

void BackgroundUnfolding::requestCancel()
{
    if (running()) engine_->status.cancelRequested = true;
}

bool BackgroundUnfolding::cancelRequested() const
{
    return engine_ && engine_->status.cancelRequested;
}

bool BackgroundUnfolding::finish()
{
    if (!running()) return false;
    thread_.join();
    EngineState& state = *engine_;
    state.status.busy = false;
    state.status.quiet = false;
    state.status.cancelRequested = false;
    state.listener = previousListener_;
    announceSuspension_ = stoppedByCancel_.load();
    return announceSuspension_;
}

void BackgroundUnfolding::deliver()
{
    if (deferring_) {
        deferring_->deliver();
        deferring_.reset();
    }
    if (announceSuspension_) {
        announceSuspension_ = false;
        if (engine_) engine_->message(kSuspendedMessage);
    }
}

} // namespace nettor
