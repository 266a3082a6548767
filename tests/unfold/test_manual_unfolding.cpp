// Unfolding by hand: clicks against drags, the three pick modes, closing the
// part on First Face, and taking back the last Connect Edge step.
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/manual_unfolding.h"
#include "unfold/start_part.h"
#include "unfold/unfold_all.h"

#include <map>
#include <set>

using namespace nettor;
using namespace nettor::test;

namespace {

class ManualUnfolding : public UnfoldTest {
protected:
    // A picker that hands out a chosen face or edge and counts its use.
    ModelPicker picker()
    {
        return {[this](int, int) {
                    ++picks;
                    return face;
                },
                [this](int, int) {
                    ++picks;
                    return edge;
                }};
    }
    void click(std::int32_t mode) { click(mode, 10, 10); }
    void click(std::int32_t mode, int releaseX, int releaseY)
    {
        session.pickMode = mode;
        onModelClick(session, session.model.get(), session.pickMode, 10, 10, releaseX, releaseY, picker());
    }

    static Edge* firstEdgeIn(const Model& m, EdgeState state)
    {
        for (auto& object : m.objects)
            for (Edge* e : object->edges)
                if (e->state == state) return e;
        return nullptr;
    }

    static std::set<const Face*> unfoldedFaces(const Model& m)
    {
        std::set<const Face*> faces;
        for (auto& object : m.objects)
            for (const Face* f : object->faces)
                if (f->unfolded) faces.insert(f);
        return faces;
    }

    Face* face = nullptr;
    Edge* edge = nullptr;
    int picks = 0;
};

TEST_F(ManualUnfolding, OnlyAClickOfAChosenModeOnAModelBeingUnfoldedPicks)
{
    EXPECT_TRUE(isClick(10, 10, 12, 12));   // 8
    EXPECT_TRUE(isClick(10, 10, 8, 8));
    EXPECT_FALSE(isClick(10, 10, 13, 10));  // 9
    EXPECT_FALSE(isClick(10, 10, 10, 7));
    EXPECT_FALSE(isClick(-2000000000, 0, 2000000000, 0)) << "no overflow";

    // No model.
    click(FirstFaceMode);
    EXPECT_EQ(picks, 0);

    Model& m = take(boxSpec());
    face = m.objects[0]->faces[2];
    click(NoPickMode);
    EXPECT_EQ(picks, 0);
    click(FirstFaceMode, 13, 10);
    EXPECT_EQ(picks, 0) << "a drag of 3 pixels picks nothing";
    EXPECT_EQ(session.status.unfoldedFaceCount, 0);
    click(FirstFaceMode, 12, 8);
    EXPECT_EQ(picks, 1);
    EXPECT_TRUE(face->unfolded);

    session.status.finished = true;
    click(CutEdgeMode);
    click(ConnectEdgeMode);
    EXPECT_EQ(picks, 1) << "clicks are ignored once the unfolding is finished";
}

TEST_F(ManualUnfolding, FirstFaceStartsAPartOnceAndAlwaysEndsUndo)
{
    Model& m = take(boxSpec());
    face = m.objects[0]->faces[3];
    session.status.undoAvailable = true;
    click(FirstFaceMode);
    EXPECT_TRUE(face->unfolded);
    EXPECT_EQ(m.currentPart, face->part);
    EXPECT_EQ(session.status.unfoldedFaceCount, 1);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 4);
    EXPECT_FALSE(session.status.undoAvailable);
    EXPECT_GT(listener.modelViewInvalidations, 0);

    const std::size_t points = m.pointPool.size();
    session.status.undoAvailable = true;
    click(FirstFaceMode);
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"Specified face is already unfolded."}));
    EXPECT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.pointPool.size(), points);
    EXPECT_FALSE(session.status.undoAvailable);

    face = nullptr;
    session.status.undoAvailable = true;
    click(FirstFaceMode);
    EXPECT_EQ(m.parts.size(), 1u);
    EXPECT_FALSE(session.status.undoAvailable) << "a click beside the model too";
    EXPECT_EQ(listener.messages.size(), 1u);
}

TEST_F(ManualUnfolding, ConnectingCandidatesUnfoldsTheCube)
{
    Model& m = take(boxSpec());
    face = m.objects[0]->faces[0];
    click(FirstFaceMode);

    // An edge that is not a candidate is ignored and leaves undo as it was.
    Edge* far = nullptr;
    for (Edge* e : m.objects[0]->edges)
        if (e->state == EdgeState::Untouched) far = e;
    ASSERT_NE(far, nullptr);
    edge = far;
    session.status.undoAvailable = true;
    click(ConnectEdgeMode);
    EXPECT_EQ(session.status.unfoldedFaceCount, 1);
    EXPECT_TRUE(session.status.undoAvailable);
    session.status.undoAvailable = false;

    for (int step = 2; step <= 6; ++step) {
        edge = firstEdgeIn(m, EdgeState::Candidate);
        ASSERT_NE(edge, nullptr) << "step " << step;
        click(ConnectEdgeMode);
        EXPECT_EQ(session.status.unfoldedFaceCount, step);
        EXPECT_EQ(edge->state, EdgeState::Fold);
        EXPECT_EQ(session.status.undoAvailable, step < 6) << "a step that completes cannot be undone";
    }
    EXPECT_TRUE(session.status.finished);
    EXPECT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0]->faceCount, 6);
    EXPECT_EQ(countState(m, EdgeState::Fold), 5);
    EXPECT_EQ(countState(m, EdgeState::Cut), 7);
    EXPECT_TRUE(listener.messages.empty() || listener.messages.back() == "All faces are unfolded.");
}

TEST_F(ManualUnfolding, CutEdgeMarksAndUnmarks)
{
    Model& m = take(boxSpec());
    Face& bottom = *m.objects[0]->faces[0];
    // An edge between two faces that are not unfolded goes back and forth.
    Edge* top = nullptr;
    for (Edge* e : m.objects[0]->edges) {
        if (e->halfEdge1->loop->face != &bottom && e->halfEdge2->loop->face != &bottom) top = e;
    }
    ASSERT_NE(top, nullptr);
    edge = top;
    session.status.undoAvailable = true;
    click(CutEdgeMode);
    EXPECT_EQ(top->state, EdgeState::MarkedCut);
    EXPECT_FALSE(session.status.undoAvailable);
    click(CutEdgeMode);
    EXPECT_EQ(top->state, EdgeState::Untouched);

    // A candidate is marked, stops being the best one, and stays marked.
    face = &bottom;
    click(FirstFaceMode);
    Edge* best = m.currentPart->bestCandidate;
    ASSERT_NE(best, nullptr);
    edge = best;
    click(CutEdgeMode);
    EXPECT_EQ(best->state, EdgeState::MarkedCut);
    EXPECT_NE(m.currentPart->bestCandidate, best);
    EXPECT_NE(m.currentPart->bestCandidate, nullptr);
    EXPECT_EQ(countState(m, EdgeState::Candidate), 3);
    click(CutEdgeMode);
    EXPECT_EQ(best->state, EdgeState::MarkedCut) << "one of its faces is unfolded";

    // Blocked, Fold and Cut edges cannot be marked.
    Edge* other = firstEdgeIn(m, EdgeState::Candidate);
    edge = other;
    click(ConnectEdgeMode);
    ASSERT_EQ(other->state, EdgeState::Fold);
    edge = other;
    click(CutEdgeMode);
    EXPECT_EQ(other->state, EdgeState::Fold);
    session.closeCurrentPart();
    Edge* blocked = firstEdgeIn(m, EdgeState::Blocked);
    ASSERT_NE(blocked, nullptr);
    edge = blocked;
    click(CutEdgeMode);
    EXPECT_EQ(blocked->state, EdgeState::Blocked);

    // The marked edge is never joined by the automatic unfolding after it.
    unfoldAll(session, m);
    ASSERT_TRUE(session.status.finished);
    EXPECT_EQ(best->state, EdgeState::MarkedCut);
}

TEST_F(ManualUnfolding, BorderEdgesStayAsTheyAre)
{
    MeshSpec triangle;
    triangle.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    triangle.faces = {{0, 1, 2}};
    MeshSpec quad;
    quad.vertices = {{3, 0, 0}, {4, 0, 0}, {4, 1, 0}, {3, 1, 0}};
    quad.faces = {{0, 1, 2, 3}};
    Model& m = take(buildModel(std::vector<MeshSpec>{triangle, quad}));
    edge = m.objects[0]->edges[0];
    ASSERT_EQ(edge->state, EdgeState::Border);
    click(CutEdgeMode);
    EXPECT_EQ(edge->state, EdgeState::Border);
}

TEST_F(ManualUnfolding, FirstFaceButtonClosesThePartBeingGrown)
{
    session.chooseFirstFaceMode();
    EXPECT_EQ(session.pickMode, FirstFaceMode);
    EXPECT_TRUE(listener.hints.empty()) << "nothing to close without a model";

    Model& m = take(boxSpec());
    startPart(session, *m.objects[0]->faces[0]);
    listener.hints.clear();
    session.choosePickMode(CutEdgeMode);
    EXPECT_EQ(session.pickMode, CutEdgeMode);
    EXPECT_TRUE(listener.hints.empty());
    session.choosePickMode(FirstFaceMode);
    EXPECT_EQ(listener.hints, (std::vector<int>{4}));
    session.closeCurrentPart();
    EXPECT_EQ(countState(m, EdgeState::Candidate), 0);
    EXPECT_EQ(countState(m, EdgeState::Blocked), 4);
    EXPECT_EQ(m.currentPart->bestCandidate, nullptr);
}

TEST_F(ManualUnfolding, UndoTakesBackTheLastConnectOnce)
{
    Model& m = take(boxSpec());
    face = m.objects[0]->faces[0];
    click(FirstFaceMode);
    edge = firstEdgeIn(m, EdgeState::Candidate);
    click(ConnectEdgeMode);

    // State before the step to be undone.
    std::map<const Edge*, EdgeState> states;
    for (Edge* e : m.objects[0]->edges) states[e] = e->state;
    const std::set<const Face*> faces = unfoldedFaces(m);
    const std::size_t points = m.pointPool.size(), corners = m.cornerPool.size();
    const PatternPoint firstCorner = *m.objects[0]->faces[0]->outerLoop.halfEdges[0]->point;

    edge = m.currentPart->bestCandidate;
    ASSERT_NE(edge, nullptr);
    Edge* joined = edge;
    click(ConnectEdgeMode);
    Face* added = m.lastFace;
    ASSERT_NE(added, nullptr);
    std::vector<PatternPoint> placed;
    for (HalfEdge* h : added->outerLoop.halfEdges) placed.push_back(*h->point);
    ASSERT_TRUE(session.status.undoAvailable);
    listener.hints.clear();

    session.undoLastAttach();
    EXPECT_EQ(session.status.unfoldedFaceCount, 2);
    EXPECT_EQ(unfoldedFaces(m), faces);
    EXPECT_EQ(m.currentPart->faceCount, 2);
    EXPECT_EQ(m.currentPart->faces.size(), 2u);
    EXPECT_EQ(added->part, nullptr);
    EXPECT_EQ(m.pointPool.size(), points);
    EXPECT_EQ(m.cornerPool.size(), corners);
    for (HalfEdge* h : added->outerLoop.halfEdges) {
        EXPECT_EQ(h->point, nullptr);
        EXPECT_EQ(h->cornerCopy, nullptr);
        EXPECT_EQ(h->foldPartner, nullptr);
        if (h->twin) {
            EXPECT_EQ(h->twin->foldPartner, nullptr);
        }
    }
    for (Edge* e : m.objects[0]->edges) EXPECT_EQ(e->state, states[e]) << "edge " << e->vertex1->id << "-" << e->vertex2->id;
    EXPECT_EQ(joined->state, EdgeState::Candidate);
    EXPECT_EQ(m.objects[0]->faces[0]->outerLoop.halfEdges[0]->point->x, firstCorner.x);
    EXPECT_EQ(listener.hints, (std::vector<int>{18, 17}));
    EXPECT_FALSE(session.status.undoAvailable);
    EXPECT_EQ(m.lastFace, nullptr);

    // A second undo does nothing.
    listener.hints.clear();
    session.undoLastAttach();
    EXPECT_EQ(session.status.unfoldedFaceCount, 2);
    EXPECT_TRUE(listener.hints.empty());

    // The same step again lays the face where it lay before.
    edge = joined;
    click(ConnectEdgeMode);
    ASSERT_EQ(m.lastFace, added);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_DOUBLE_EQ(added->outerLoop.halfEdges[i]->point->x, placed[i].x);
        EXPECT_DOUBLE_EQ(added->outerLoop.halfEdges[i]->point->y, placed[i].y);
    }
}

TEST_F(ManualUnfolding, UndoIsRefusedOnceAnotherPickFollowed)
{
    Model& m = take(boxSpec());
    face = m.objects[0]->faces[0];
    click(FirstFaceMode);
    edge = m.currentPart->bestCandidate;
    click(ConnectEdgeMode);
    ASSERT_TRUE(session.status.undoAvailable);

    // A new part started after the step: its records are now the newest in
    // the pools, and the old step must not be taken back through them.
    Face* start = nullptr;
    for (Face* f : m.objects[0]->faces)
        if (!f->unfolded) start = f;
    face = start;
    click(FirstFaceMode);
    const std::size_t points = m.pointPool.size();
    session.undoLastAttach();
    EXPECT_EQ(session.status.unfoldedFaceCount, 3);
    EXPECT_EQ(m.pointPool.size(), points);
    for (HalfEdge* h : start->outerLoop.halfEdges) ASSERT_NE(h->point, nullptr);
    double sum = 0;
    for (HalfEdge* h : start->outerLoop.halfEdges) sum += h->point->x + h->point->y;
    EXPECT_GT(sum, 0.0);

    // Cut Edge also ends it.
    edge = m.currentPart->bestCandidate;
    click(ConnectEdgeMode);
    ASSERT_TRUE(session.status.undoAvailable);
    edge = nullptr;
    click(CutEdgeMode);
    EXPECT_FALSE(session.status.undoAvailable);
    session.undoLastAttach();
    EXPECT_EQ(session.status.unfoldedFaceCount, 4);
}

TEST_F(ManualUnfolding, UndoAndRedoOnManyShapesKeepThePoolsExact)
{
    // Grow a sphere by hand, taking back every other step: the pools always
    // hold exactly the points of the placed faces.
    Model& m = take(subdividedSphereSpec(1));
    face = m.objects[0]->faces[0];
    click(FirstFaceMode);
    int steps = 0;
    while (!session.status.finished && steps < 200) {
        edge = m.currentPart ? m.currentPart->bestCandidate : nullptr;
        if (!edge) {
            Face* next = nullptr;
            for (Face* f : m.objects[0]->faces)
                if (!f->unfolded && !next) next = f;
            face = next;
            click(FirstFaceMode);
        } else {
            click(ConnectEdgeMode);
            if (++steps % 2 == 1 && session.status.undoAvailable) {
                session.undoLastAttach();
                click(ConnectEdgeMode);
            }
        }
        std::set<const PatternPoint*> used;
        for (const Face* f : unfoldedFaces(m))
            for (const HalfEdge* h : f->outerLoop.halfEdges) used.insert(h->point);
        ASSERT_EQ(used.size(), m.pointPool.size()) << "after step " << steps;
        for (const PatternPoint* p : m.pointPool) ASSERT_TRUE(used.count(p));
    }
    EXPECT_TRUE(session.status.finished);
}

} // namespace
