// A whole session without a window: everything it tells the user interface,
// in order, against what the views expect of each step (the numbers are the
// view-update hints the changes stand for).
#include "session/session.h"
#include "state/held_messages.h"
#include "support/model_builders.h"
#include "unfold/background_unfolding.h"
#include "unfold/manual_unfolding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nettor {
namespace {

using namespace test;

// Every notification and message in one list, in the order they came.
class SessionLog : public UiListener {
public:
    void message(const std::string& text) override { events.push_back("message: " + text); }
    void invalidateModelView() override { events.push_back("invalidate 3D"); }
    void repaintPatternView() override { events.push_back("repaint 2D"); }
    void closeTextureWindow() override { events.push_back("close texture window"); }
    void setDocumentTitle(const std::string& title) override { events.push_back("title: " + title); }

    // What came since the last call.
    std::vector<std::string> take() { return std::exchange(events, {}); }

    std::vector<std::string> events;

protected:
    void changed(ViewChange change) override { events.push_back(std::to_string(static_cast<int>(change))); }
};

using SessionEvents = std::vector<std::string>;

TEST(SessionFlow, EveryStepTellsTheViewsInTheOrderTheyExpect)
{
    Session session;
    SessionLog log;
    session.listener = &log;
    const std::string box = writeTempFile("flow_box.obj", toObjText(boxSpec()));

    // Open: a new model is current (16), then the counters (3).
    ASSERT_TRUE(session.openModel(box));
    EXPECT_EQ(log.take(), (SessionEvents{"title: flow_box", "16", "3"}));
    EXPECT_EQ(session.status.totalFaceCount, 6); // taken up before the views hear of it
    EXPECT_TRUE(session.status.invertAllowed);

    // First Face closes the part grown so far (4), then the pick starts a
    // part: counters (3), growing part (17), and the 3D view redrawn.
    session.choosePickMode(FirstFaceMode);
    EXPECT_EQ(log.take(), (SessionEvents{"4"}));
    session.firstFacePick(session.model->objects[0]->faces[0]);
    EXPECT_EQ(log.take(), (SessionEvents{"3", "17", "invalidate 3D", "invalidate 3D"}));

    // Connect Edge across the best candidate: the same as a placement.
    session.choosePickMode(ConnectEdgeMode);
    EXPECT_TRUE(log.take().empty());
    Edge* best = session.model->currentPart->bestCandidate;
    ASSERT_NE(best, nullptr);
    session.connectEdgePick(best);
    EXPECT_EQ(log.take(), (SessionEvents{"3", "17", "invalidate 3D", "invalidate 3D"}));
    EXPECT_EQ(session.status.unfoldedFaceCount, 2);

    // Ctrl+Z: the part shrinks (18) and is drawn again (17), then the
    // command's own change (15).
    session.undoLastEdgePick();
    EXPECT_EQ(log.take(), (SessionEvents{"invalidate 3D", "18", "17", "15"}));
    EXPECT_EQ(session.status.unfoldedFaceCount, 1);

    // Start saves the record and asks for the unfolding (2); the runner
    // unfolds this small model on the calling thread: each of the five
    // placements tells the counters and the growing part, then completion
    // tells the user and the views (10).
    session.start();
    EXPECT_EQ(log.take(), (SessionEvents{"2"}));
    EXPECT_TRUE(session.startRecordSaved());
    ASSERT_EQ(unfoldingPlace(session, session.model.get()), UnfoldingPlace::CallingThread);
    unfoldOnCallingThread(session, *session.model);
    SessionEvents unfolded;
    for (int i = 0; i < 5; ++i) unfolded.insert(unfolded.end(), {"3", "17"});
    unfolded.insert(unfolded.end(), {"message: All faces are unfolded.", "invalidate 3D", "10"});
    EXPECT_EQ(log.take(), unfolded);
    EXPECT_TRUE(session.status.finished);

    // Undo to before Start: the model as it was at Start is current again.
    const Model* finished = session.model.get();
    ASSERT_TRUE(session.undoToBeforeStart());
    EXPECT_EQ(log.take(), (SessionEvents{"title: flow_box", "16", "3"}));
    EXPECT_NE(session.model.get(), finished);
    EXPECT_FALSE(session.status.finished);
    EXPECT_EQ(session.status.unfoldedFaceCount, 0);
    // Only once: the unfolding is no longer finished.
    EXPECT_FALSE(session.undoToBeforeStart());
    EXPECT_TRUE(log.take().empty());

    // A damaged file: the user is told, the model stays, no view hears of it.
    const Model* kept = session.model.get();
    EXPECT_FALSE(session.openModel(writeTempFile("flow_damaged.mqo", "nope\n")));
    EXPECT_EQ(log.take(), (SessionEvents{"message: This file could not be read."}));
    EXPECT_EQ(session.model.get(), kept);
}

// Two sessions in one process do not see each other's model, settings or
// listener.
// The window holds the messages of an unfolding run on its own thread until
// the views have heard of the outcome: the box then stands over the finished
// pattern. Nothing else changes order, and the listener is back afterwards.
TEST(SessionFlow, HeldMessagesComeAfterTheViewsHeardOfTheOutcome)
{
    Session session;
    SessionLog log;
    session.listener = &log;
    ASSERT_TRUE(session.openModel(writeTempFile("held_box.obj", toObjText(boxSpec()))));
    session.start();
    log.take();
    {
        HeldMessages held(session);
        EXPECT_EQ(session.listener, &held);
        unfoldOnCallingThread(session, *session.model);
        SessionEvents unfolded;
        for (int i = 0; i < 6; ++i) unfolded.insert(unfolded.end(), {"3", "17"});
        unfolded.insert(unfolded.end(), {"invalidate 3D", "10"});
        EXPECT_EQ(log.take(), unfolded);
        held.release();
        EXPECT_EQ(log.take(), (SessionEvents{"message: All faces are unfolded."}));
        EXPECT_EQ(session.listener, &log);
        // Once released, a message passes at once.
        held.message("later");
        EXPECT_EQ(log.take(), (SessionEvents{"message: later"}));
    }
    EXPECT_EQ(session.listener, &log);
    EXPECT_TRUE(session.status.finished);
}

TEST(SessionFlow, SessionsAreIndependent)
{
    Session first, second;
    SessionLog firstLog, secondLog;
    first.listener = &firstLog;
    second.listener = &secondLog;
    ASSERT_TRUE(first.openModel(writeTempFile("flow_first.obj", toObjText(boxSpec()))));
    first.setOverlapCheck(false);
    EXPECT_EQ(second.model, nullptr);
    EXPECT_EQ(second.overlapCheck.load(), 1);
    EXPECT_TRUE(secondLog.events.empty());
    EXPECT_EQ(firstLog.take(), (SessionEvents{"title: flow_first", "16", "3", "20"}));
}

} // namespace
} // namespace nettor
