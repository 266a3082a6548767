// Candidate evaluation: edge states, priorities of the strategies and the
// choice of the best candidate.
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/update_candidates.h"
#include "unfold/grow_part.h"
#include "unfold/start_part.h"
#include "unfold/unfold_all.h"

#include <cmath>

using namespace nettor;
using namespace nettor::test;

namespace {

class CandidatesTest : public UnfoldTest {};

// A width x 4 rectangle (start face) with a perpendicular quad along its
// long edge y = 0 (ids 1-2) and a coplanar triangle beyond its short edge
// x = 4 (ids 2-3).
MeshSpec flapSpec(double width)
{
    MeshSpec s;
    s.vertices = {{0, 0, 0},     {4, 0, 0},      {4, width, 0}, {0, width, 0},
                  {5, width / 2, 0}, {0, 0, -1}, {4, 0, -1}};
    s.faces = {{0, 1, 2, 3}, {1, 4, 2}, {1, 0, 5, 6}};
    return s;
}

} // namespace

TEST_F(CandidatesTest, PriorityOfEachStrategy)
{
    Edge e;
    e.length = 2.0;
    e.foldAngle = 90.0;
    EXPECT_EQ(candidatePriority(e, 0), 90.0);
    EXPECT_EQ(candidatePriority(e, 1), 2.0);
    EXPECT_EQ(candidatePriority(e, 2), 20.0);
    EXPECT_EQ(candidatePriority(e, 3), 2.0);
    EXPECT_EQ(candidatePriority(e, -1), 2.0);
    e.foldAngle = 180.0;
    EXPECT_EQ(candidatePriority(e, 2), 38.0);
    session.settings.unfoldStrategy = 0;
    EXPECT_EQ(candidatePriority(e, session.settings.unfoldStrategy), 180.0);
}

TEST_F(CandidatesTest, StrategiesChooseTheFlatOrTheLongEdge)
{
    struct Case {
        double width;
        int strategy;
        int otherId; // 3: the flat short edge 2-3, 1: the long sharp edge 1-2
    };
    for (const Case c : {Case{2.5, 0, 3}, Case{2.5, 1, 1}, Case{2.5, 2, 3}, Case{2.0, 2, 1},
                         Case{2.5, 7, 1}, Case{2.5, -3, 1}}) {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " strategy " << c.strategy);
        resetSession(session);
        session.settings.unfoldStrategy = c.strategy;
        Model& m = take(flapSpec(c.width));
        startPart(session, *m.objects[0]->faces[0]);
        EXPECT_EQ(countState(m, EdgeState::Candidate), 2);
        EXPECT_EQ(m.currentPart->bestCandidate, edgeBetween(m, 2, c.otherId));
    }
}

TEST_F(CandidatesTest, TiesGoToTheFirstEdgeOfTheWalk)
{
    // Every cube edge has the same length and fold angle.
    for (int strategy : {0, 1, 2}) {
        resetSession(session);
        session.settings.unfoldStrategy = strategy;
        Model& m = take(boxSpec());
        Face& bottom = *m.objects[0]->faces[0];
        startPart(session, bottom);
        EXPECT_EQ(m.currentPart->bestCandidate, bottom.outerLoop.halfEdges[0]->edge);
    }
}

TEST_F(CandidatesTest, LongestEdgeIsCrossedFirst)
{
    Model& m = take(boxSpec({0, 0, 0}, {4, 1, 1}));
    session.status.busy = true;
    unfoldAll(session, m);
    // The bottom's long side from (4,1,0) to (0,1,0) leads to the y = 1 face.
    ASSERT_GE(m.parts[0]->faces.size(), 2u);
    EXPECT_EQ(m.parts[0]->faces[0], m.objects[0]->faces[0]);
    EXPECT_EQ(m.parts[0]->faces[1], m.objects[0]->faces[4]);
}

TEST_F(CandidatesTest, CandidatesWithoutPriorityGiveNoBestAndNoMessage)
{
    session.settings.unfoldStrategy = 0;
    Model& m = take(boxSpec());
    for (Edge* e : m.objects[0]->edges) e->foldAngle = 0.0;
    startPart(session, *m.objects[0]->faces[0]);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 4);
    EXPECT_EQ(m.currentPart->bestCandidate, nullptr);
    EXPECT_TRUE(listener.messages.empty());
    // Automatic growth stops at once: every face starts a part of its own.
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_EQ(m.parts.size(), 6u);
    EXPECT_EQ(countState(m, EdgeState::Fold), 0);
}

TEST_F(CandidatesTest, StuckPartAsksForAStartFaceUnlessBusy)
{
    MeshSpec tri;
    tri.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    tri.faces = {{0, 1, 2}};
    Model& m = take(buildModel({tri, translated(tri, {3, 0, 0})}));
    startPart(session, *m.objects[0]->faces[0]);
    EXPECT_EQ(listener.messages,
              (std::vector<std::string>{"Push [Start Face] button and specify the first face."}));
    EXPECT_GE(listener.modelViewInvalidations, 1);

    listener.messages.clear();
    session.status.busy = true;
    const int invalidations = listener.modelViewInvalidations;
    updateCandidates(session, *m.currentPart, false);
    EXPECT_TRUE(listener.messages.empty());
    EXPECT_EQ(listener.modelViewInvalidations, invalidations);
    session.status.busy = false;
    updateCandidates(session, *m.currentPart, true);
    EXPECT_TRUE(listener.messages.empty());
}

TEST_F(CandidatesTest, StartingAnotherPartClosesTheCurrentOne)
{
    Model& m = take(boxSpec());
    startPart(session, *m.objects[0]->faces[0]); // bottom
    EXPECT_EQ(countState(m, EdgeState::Candidate), 4);
    UnfoldedPart* first = m.currentPart;
    startPart(session, *m.objects[0]->faces[1]); // top, not adjacent
    EXPECT_EQ(countState(m, EdgeState::Blocked), 4);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 4);
    EXPECT_EQ(first->id, 0);
    EXPECT_EQ(m.currentPart->id, 1);
    EXPECT_EQ(session.status.partCount, 2);
    // A side face placed now sits next to both parts: its edges to them are cuts.
    startPart(session, *m.objects[0]->faces[2]);
    EXPECT_EQ(countState(m, EdgeState::Cut), 2);
}

TEST_F(CandidatesTest, MarkedCutsAreNeverEvaluatedNorJoined)
{
    Model& m = take(boxSpec());
    Face& bottom = *m.objects[0]->faces[0];
    Edge* marked = bottom.outerLoop.halfEdges[0]->edge;
    marked->state = EdgeState::MarkedCut;
    startPart(session, bottom);
    EXPECT_EQ(marked->state, EdgeState::MarkedCut);
    EXPECT_NE(m.currentPart->bestCandidate, marked);
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_EQ(marked->state, EdgeState::MarkedCut);
    EXPECT_EQ(marked->halfEdge1->foldPartner, nullptr);
    EXPECT_GT(marked->edgeId, 0);
}

namespace {

// Eight triangles of 50 degrees at a saddle vertex: 400 degrees do not lie
// flat in one piece.
MeshSpec saddleSpec()
{
    MeshSpec s;
    s.vertices.push_back({0, 0, 0});
    const double r = std::cos(25 * M_PI / 180) / std::cos(M_PI / 8);
    const double h = std::sqrt(1 - r * r);
    for (int k = 0; k < 8; ++k)
        s.vertices.push_back({r * std::cos(k * M_PI / 4), r * std::sin(k * M_PI / 4), k % 2 ? h : -h});
    for (int k = 0; k < 8; ++k) s.faces.push_back({0, 1 + k, 1 + (k + 1) % 8});
    return s;
}

} // namespace

TEST_F(CandidatesTest, SwitchingTheCheckReevaluatesOnlyTheOpenEdges)
{
    Model& m = take(saddleSpec());
    session.status.busy = true; // no message when the part is stuck
    startPart(session, *m.objects[0]->faces[0]);
    growPart(session, *m.currentPart);
    // Seven faces lie flat; the eighth would overlap them from either side.
    ASSERT_EQ(m.currentPart->faceCount, 7);
    EXPECT_EQ(countState(m, EdgeState::Blocked), 2);
    EXPECT_EQ(m.currentPart->bestCandidate, nullptr);
    const int folds = countState(m, EdgeState::Fold);

    session.overlapCheck = 0;
    updateCandidates(session, *m.currentPart, false);
    EXPECT_EQ(countState(m, EdgeState::Blocked), 0);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 2);
    EXPECT_NE(m.currentPart->bestCandidate, nullptr);
    EXPECT_EQ(countState(m, EdgeState::Fold), folds);

    session.overlapCheck = 1;
    updateCandidates(session, *m.currentPart, false);
    EXPECT_EQ(countState(m, EdgeState::Blocked), 2);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 0);
    EXPECT_EQ(m.currentPart->bestCandidate, nullptr);
    EXPECT_EQ(countState(m, EdgeState::Fold), folds);
}

TEST_F(CandidatesTest, OverlapBlocksAnEdgeOnlyWhileTheCheckIsOn)
{
    const MeshSpec s = saddleSpec();
    Model& m = take(s);
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_GE(m.parts.size(), 2u);

    resetSession(session);
    session.overlapCheck = 0;
    Model& n = take(s);
    session.status.busy = true;
    unfoldAll(session, n);
    EXPECT_EQ(n.parts.size(), 1u);
}
