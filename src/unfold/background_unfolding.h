#pragma once
// Automatic unfolding started by the Start button: small models on the
// calling thread, larger ones on a worker thread while the user interface
// shows the progress and may cancel.
//
// The worker and the user-interface thread share only the atomics of
// UnfoldStatus. The order of a background run is:
//   start():    busy and quiet are set, the listener is put behind a
//               DeferringListener, the worker starts unfoldAll;
//   meanwhile:  the user interface polls progress() and may requestCancel();
//               cancelRequested stays set until the worker has ended;
//   workerEnded() turns true when unfoldAll has returned;
//   finish():   joins the worker, then clears busy, quiet and
//               cancelRequested and gives the listener back;
//   deliver():  passes on what the worker wanted shown or redrawn, then
//               "Operation is suspended." after a cancel.
#include "state/deferring_listener.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace nettor {

struct EngineState;
struct Model;

// Models of up to this many faces unfold on the calling thread.
inline constexpr int kCallingThreadFaceLimit = 50;

inline constexpr const char* kSuspendedMessage = "Operation is suspended.";

enum class UnfoldingPlace { Nothing, CallingThread, WorkerThread };

// Where Start's unfolding runs: nothing without a model or when every face is
// placed; the whole model's face count decides between the threads.
UnfoldingPlace unfoldingPlace(const EngineState& engine, const Model* model);

// busy set, quiet cleared, unfoldAll on this thread; busy is clear afterwards.
void unfoldOnCallingThread(EngineState& engine, Model& model);

struct UnfoldProgress {
    int unfoldedFaces = 0;
    int totalFaces = 0;
    bool arranging = false; // every face placed, the parts being laid out
    int bestPartCount = 0;  // the search for fewer parts: its best so far, 0 while it has none
};

// The texts of the progress dialog. The task text counts the face being
// unfolded (1 up to the total), or the best part count of the search for
// fewer parts while it has one, or tells that the parts are being arranged.
std::string progressTaskText(const UnfoldProgress& progress);
// "[ %5.1f % ]" of the faces placed; 0 of 0 faces is 0 %.
std::string progressPercentText(const UnfoldProgress& progress);

class BackgroundUnfolding {
public:
    BackgroundUnfolding() = default;
    // A run still going is cancelled and waited for.
    ~BackgroundUnfolding();
    BackgroundUnfolding(const BackgroundUnfolding&) = delete;
    BackgroundUnfolding& operator=(const BackgroundUnfolding&) = delete;

    // Starts unfolding the model on the worker. Refused (false) while a run
    // has not been finished. ended, when given, is called on the worker once
    // workerEnded() holds, so that the caller need not poll for the end.
    bool start(EngineState& engine, Model& model, std::function<void()> ended = {});
    bool running() const { return thread_.joinable(); }
    bool workerEnded() const { return ended_.load(std::memory_order_acquire); }
    UnfoldProgress progress() const;
    // The worker stops after the face it is placing.
    void requestCancel();
    bool cancelRequested() const;
    // Waits for the worker and cleans up (see above). Returns true when the
    // run stopped because of a cancel, false when it finished the unfolding.
    bool finish();
    // What the worker wanted shown, then the cancel notice; call after the
    // progress dialog has closed.
    void deliver();

private:
    std::thread thread_;
    std::atomic<bool> ended_{false};
    std::atomic<bool> stoppedByCancel_{false};
    bool announceSuspension_ = false;
    std::unique_ptr<DeferringListener> deferring_;
    UiListener* previousListener_ = nullptr;
    EngineState* engine_ = nullptr; // of the run started last; not owned
};

} // namespace nettor
