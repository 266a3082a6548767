// Start's unfolding: where it runs, the worker's life from start to the
// cleaned-up state, cancelling and continuing, and the progress texts.
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "support/unfolding_invariants.h"
#include "unfold/background_unfolding.h"

#include <chrono>
#include <future>
#include <thread>

using namespace nettor;
using namespace nettor::test;

namespace {

class BackgroundUnfoldingTest : public UnfoldTest {
protected:
    // Polls as the progress dialog does until the worker has ended.
    static void waitForWorker(const BackgroundUnfolding& run)
    {
        while (!run.workerEnded()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
};

// A strip of n triangles in one plane: n faces, unfolds as one part.
MeshSpec stripSpec(int n)
{
    MeshSpec spec;
    for (int i = 0; i <= n / 2 + 1; ++i) {
        spec.vertices.push_back({double(i), 0, 0});
        spec.vertices.push_back({double(i), 1, 0});
    }
    for (int k = 0; k < n; ++k) {
        const int i = k / 2;
        if (k % 2 == 0)
            spec.faces.push_back({2 * i, 2 * i + 2, 2 * i + 1});
        else
            spec.faces.push_back({2 * i + 1, 2 * i + 2, 2 * i + 3});
    }
    return spec;
}

} // namespace

TEST_F(BackgroundUnfoldingTest, FiftyFacesStayOnTheCallingThreadFiftyOneGoToTheWorker)
{
    EXPECT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::Nothing); // no model
    take(stripSpec(50));
    EXPECT_EQ(session.status.totalFaceCount, 50);
    EXPECT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::CallingThread);
    unfoldOnCallingThread(session, *session.model);
    EXPECT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::Nothing); // all placed
    EXPECT_FALSE(session.status.busy);
    EXPECT_EQ(listener.messages, std::vector<std::string>{"All faces are unfolded."});

    take(stripSpec(51));
    EXPECT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::WorkerThread);
}

TEST_F(BackgroundUnfoldingTest, WorkerFinishesQuietlyAndHandsOverWhatItWantedShown)
{
    Model& model = take(subdividedSphereSpec(3));
    listener.hints.clear();
    BackgroundUnfolding run;
    // The end is told from the worker, once the run counts as ended.
    std::promise<std::pair<bool, std::thread::id>> endTold;
    ASSERT_TRUE(run.start(session, model, [&] { endTold.set_value({run.workerEnded(), std::this_thread::get_id()}); }));
    EXPECT_TRUE(session.status.busy);
    EXPECT_TRUE(session.status.quiet);
    EXPECT_FALSE(run.start(session, model)); // one run at a time
    const auto [endedWhenTold, toldOn] = endTold.get_future().get();
    EXPECT_TRUE(endedWhenTold);
    EXPECT_NE(toldOn, std::this_thread::get_id());
    // Nothing reached the user interface while the worker ran.
    EXPECT_TRUE(listener.hints.empty());
    EXPECT_EQ(listener.patternViewRepaints, 0);
    EXPECT_EQ(listener.modelViewInvalidations, 0);

    EXPECT_FALSE(run.finish());
    EXPECT_FALSE(run.running());
    EXPECT_EQ(session.listener, &listener);
    EXPECT_FALSE(session.status.busy);
    EXPECT_FALSE(session.status.quiet);
    EXPECT_FALSE(session.status.cancelRequested);
    EXPECT_TRUE(session.status.finished);
    EXPECT_TRUE(listener.messages.empty());

    run.deliver();
    EXPECT_GE(listener.patternViewRepaints, 1);
    EXPECT_GE(listener.modelViewInvalidations, 1);
    EXPECT_TRUE(listener.messages.empty()); // no cancel, no notice
    EXPECT_EQ(unfoldingViolation(model, session.status), "");
    EXPECT_EQ(session.status.unfoldedFaceCount, model.faceCount);
}

TEST_F(BackgroundUnfoldingTest, CancelKeepsAConsistentPartialUnfoldingThatStartFinishes)
{
    Model& model = take(subdividedSphereSpec(4));
    BackgroundUnfolding run;
    ASSERT_TRUE(run.start(session, model));
    while (session.status.unfoldedFaceCount < 40) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    run.requestCancel();
    // The flag stays up however briefly the button was pressed, until the
    // worker has ended.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(run.cancelRequested());
    waitForWorker(run);
    EXPECT_TRUE(session.status.cancelRequested);
    EXPECT_TRUE(session.status.busy);

    EXPECT_TRUE(run.finish());
    EXPECT_FALSE(session.status.cancelRequested);
    EXPECT_FALSE(session.status.busy);
    EXPECT_FALSE(session.status.quiet); // a manual finish reports again
    EXPECT_FALSE(session.status.finished);
    const int placed = session.status.unfoldedFaceCount;
    EXPECT_GE(placed, 40);
    EXPECT_LT(placed, model.faceCount);
    EXPECT_EQ(unfoldingViolation(model, session.status), "");
    EXPECT_TRUE(listener.messages.empty()); // shown only once the dialog is gone
    run.deliver();
    EXPECT_EQ(listener.messages, std::vector<std::string>{kSuspendedMessage});
    run.deliver();
    EXPECT_EQ(listener.messages.size(), 1u);

    // Start again continues from there and places every face exactly once.
    ASSERT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::WorkerThread);
    ASSERT_TRUE(run.start(session, model));
    waitForWorker(run);
    EXPECT_FALSE(run.finish());
    run.deliver();
    EXPECT_EQ(listener.messages.size(), 1u);
    EXPECT_TRUE(session.status.finished);
    EXPECT_EQ(session.status.unfoldedFaceCount, model.faceCount);
    EXPECT_EQ(unfoldingViolation(model, session.status), "");
}

TEST_F(BackgroundUnfoldingTest, DestroyingARunningUnfoldingStopsAndJoinsTheWorker)
{
    Model& model = take(subdividedSphereSpec(4));
    {
        BackgroundUnfolding run;
        ASSERT_TRUE(run.start(session, model));
    }
    EXPECT_FALSE(session.status.busy);
    EXPECT_FALSE(session.status.cancelRequested);
    EXPECT_EQ(session.listener, &listener);
    EXPECT_EQ(unfoldingViolation(model, session.status), "");
}

TEST_F(BackgroundUnfoldingTest, TheSearchForFewerPartsRunsOnTheWorkerAndACancelKeepsItsBest)
{
    Session& state = session;
    state.partSearch.enabled = true;
    state.partSearch.timeLimitSeconds = 30.0;
    // Even a small model: the search takes its time whatever the size.
    take(stripSpec(10));
    EXPECT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::WorkerThread);
    Model& torus = take(torusSpec(24, 12));

    BackgroundUnfolding run;
    ASSERT_TRUE(run.start(session, torus));
    // The dialog's counter shows the best count once the search has one.
    // (A quick search may find a single part and end before it is seen.)
    UnfoldProgress progress;
    bool seenSearching = false;
    while (!run.workerEnded() && !seenSearching) {
        progress = run.progress();
        seenSearching = progress.bestPartCount > 0 && !progress.arranging;
        if (!seenSearching) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!seenSearching) progress = run.progress();
    ASSERT_GT(progress.bestPartCount, 0);
    if (seenSearching) {
        EXPECT_EQ(progressTaskText(progress).rfind("Searching for fewer parts: best so far ", 0), 0u)
            << progressTaskText(progress);
    }
    run.requestCancel();
    waitForWorker(run);
    // A cancel during the search ends it with the best unfolding found.
    EXPECT_FALSE(run.finish());
    run.deliver();
    EXPECT_TRUE(state.status.finished);
    EXPECT_EQ(state.status.unfoldedFaceCount, torus.faceCount);
    EXPECT_LE(static_cast<int>(torus.parts.size()), progress.bestPartCount);
    EXPECT_EQ(unfoldingViolation(torus, session.status), "");
}

TEST(ProgressTexts, CountTheFaceBeingUnfoldedAndPadThePercentage)
{
    EXPECT_EQ(progressTaskText({0, 51, false}), "Unfolded faces 1 / Faces 51");
    EXPECT_EQ(progressTaskText({50, 51, false}), "Unfolded faces 51 / Faces 51");
    // The last face is placed but completion has not said so yet.
    EXPECT_EQ(progressTaskText({51, 51, false}), "Unfolded faces 51 / Faces 51");
    EXPECT_EQ(progressTaskText({51, 51, true}), "Arranging the unfolded patterns.");
    EXPECT_EQ(progressPercentText({0, 51, false}), "[   0.0 % ]");
    EXPECT_EQ(progressPercentText({1, 3, false}), "[  33.3 % ]");
    EXPECT_EQ(progressPercentText({51, 51, true}), "[ 100.0 % ]");
    EXPECT_EQ(progressPercentText({0, 0, false}), "[   0.0 % ]");
    EXPECT_EQ(progressTaskText({10, 51, false, 1}), "Searching for fewer parts: best so far 1 part");
    EXPECT_EQ(progressTaskText({10, 51, false, 7}), "Searching for fewer parts: best so far 7 parts");
    EXPECT_EQ(progressTaskText({51, 51, true, 7}), "Arranging the unfolded patterns.");
}
