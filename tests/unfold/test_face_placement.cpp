// Starting parts and attaching faces.
#include "support/unfold_fixture.h"
#include "unfold/attach_face.h"
#include "unfold/start_part.h"
#include "unfold/unfold_all.h"

#include <cmath>

using namespace nettor;
using namespace nettor::test;

namespace {

class FacePlacementTest : public UnfoldTest {};

MeshSpec triangleSpec()
{
    MeshSpec s;
    s.vertices = {{0, 0, 0}, {2, 0, 0}, {0.5, 1.5, 0}};
    s.faces = {{0, 1, 2}};
    return s;
}

double dist(const PatternPoint& a, const PatternPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

} // namespace

TEST_F(FacePlacementTest, SingleTriangleIsPlacedAndCompletesAtOnce)
{
    Model& m = take(triangleSpec());
    Face& f = *m.objects[0]->faces[0];
    startPart(session, f);
    EXPECT_TRUE(session.status.finished);
    const auto& hs = f.outerLoop.halfEdges;
    EXPECT_EQ(hs[0]->point->x, 0.0);
    EXPECT_EQ(hs[0]->point->y, 0.0);
    EXPECT_EQ(hs[1]->point->x, hs[0]->edge->length);
    EXPECT_EQ(hs[1]->point->y, 0.0);
    EXPECT_GT(hs[2]->point->y, 0.0);
    EXPECT_NEAR(dist(*hs[2]->point, *hs[0]->point), hs[2]->edge->length, 1e-12);
    EXPECT_NEAR(dist(*hs[2]->point, *hs[1]->point), hs[1]->edge->length, 1e-12);

    const UnfoldStatus& st = session.status;
    EXPECT_TRUE(st.finished);
    EXPECT_FALSE(st.invertAllowed);
    EXPECT_EQ(st.unfoldedFaceCount, 1);
    EXPECT_EQ(st.partCount, 1);
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.currentPart, m.parts[0].get());
    EXPECT_EQ(f.part, m.currentPart);
    EXPECT_EQ(m.pointPool.size(), 3u);
    EXPECT_EQ(m.cornerPool.size(), 3u);
    EXPECT_EQ(listener.messages, (std::vector<std::string>{"All faces are unfolded."}));
    EXPECT_EQ(listener.hints, (std::vector<int>{3, 17, 10}));
}

TEST_F(FacePlacementTest, QuietPlacementSendsNoHintsAndRepaintsThePatternView)
{
    Model& m = take(triangleSpec());
    session.status.quiet = true;
    startPart(session, *m.objects[0]->faces[0]);
    EXPECT_TRUE(listener.hints.empty());
    EXPECT_TRUE(listener.messages.empty());
    EXPECT_EQ(listener.patternViewRepaints, 1);
}

TEST_F(FacePlacementTest, StartingAPlacedFaceAgainChangesNothing)
{
    Model& m = take(boxSpec());
    Face& f = *m.objects[0]->faces[0];
    startPart(session, f);
    const std::size_t points = m.pointPool.size();
    startPart(session, f);
    EXPECT_EQ(m.pointPool.size(), points);
    EXPECT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(session.status.unfoldedFaceCount, 1);
}

TEST_F(FacePlacementTest, AttachedFaceSharesThePointsOfItsFoldEdge)
{
    Model& m = take(boxSpec());
    Face& start = *m.objects[0]->faces[0];
    startPart(session, start);
    Edge* e = m.currentPart->bestCandidate;
    ASSERT_NE(e, nullptr);
    const HalfEdge* t = e->halfEdge1->loop->face == &start ? e->halfEdge1 : e->halfEdge2;
    const HalfEdge* b = t == e->halfEdge1 ? e->halfEdge2 : e->halfEdge1;
    const std::size_t points = m.pointPool.size();
    attachFace(session, *e);
    EXPECT_EQ(session.status.unfoldedFaceCount, 2);
    EXPECT_EQ(b->point, t->next->point);
    EXPECT_EQ(b->next->point, t->point);
    EXPECT_EQ(b->cornerCopy, t->next->cornerCopy);
    EXPECT_EQ(b->next->cornerCopy, t->cornerCopy);
    EXPECT_EQ(b->foldPartner, t);
    EXPECT_EQ(t->foldPartner, b);
    EXPECT_EQ(e->state, EdgeState::Fold);
    EXPECT_EQ(m.pointPool.size(), points + 2); // a quad adds its two own corners
    EXPECT_EQ(m.cornerPool.size(), points + 2);
    EXPECT_EQ(m.lastFace, b->loop->face);
    EXPECT_EQ(m.lastEdge, e);
    EXPECT_EQ(m.currentPart->faceCount, 2);
    EXPECT_EQ(session.status.partCount, 1);
    // The new face lies on the far side of the shared edge.
    const PatternPoint& p0 = *t->point;
    const PatternPoint& p1 = *t->next->point;
    auto side = [&](const PatternPoint& q) {
        return (p1.x - p0.x) * (q.y - p0.y) - (p1.y - p0.y) * (q.x - p0.x);
    };
    EXPECT_GT(side(*t->prev->point), 0);
    EXPECT_LT(side(*b->prev->point), 0);
    EXPECT_LT(side(*b->next->next->point), 0);
}

TEST_F(FacePlacementTest, AttachingAcrossAnEdgeWithoutAnUnplacedSideChangesNothing)
{
    Model& m = take(boxSpec());
    startPart(session, *m.objects[0]->faces[0]);
    Edge* e = m.currentPart->bestCandidate;
    attachFace(session, *e);
    const int count = session.status.unfoldedFaceCount;
    const std::size_t points = m.pointPool.size();
    attachFace(session, *e); // both sides placed now
    EXPECT_EQ(session.status.unfoldedFaceCount, count);
    EXPECT_EQ(m.pointPool.size(), points);
    // An edge with no placed side at all.
    Edge* far = edgeBetween(m, 7, 8); // on the top face, away from the bottom
    ASSERT_NE(far, nullptr);
    attachFace(session, *far);
    EXPECT_EQ(session.status.unfoldedFaceCount, count);
}

TEST_F(FacePlacementTest, NonConvexFaceKeepsItsShape)
{
    // A dart whose fan from its first corner passes a reflex corner.
    MeshSpec s;
    s.vertices = {{0, 0, 0}, {3, 1.5, 0}, {0, 3, 0}, {1, 1.5, 0}};
    s.faces = {{0, 1, 2, 3}};
    Model& m = take(s);
    Face& f = *m.objects[0]->faces[0];
    startPart(session, f);
    const auto& hs = f.outerLoop.halfEdges;
    for (std::size_t i = 0; i < hs.size(); ++i)
        for (std::size_t j = i + 1; j < hs.size(); ++j)
            EXPECT_NEAR(dist(*hs[i]->point, *hs[j]->point),
                        length(hs[i]->origin->position - hs[j]->origin->position), 1e-12);
    // The reflex corner lies inside the triangle of the other three.
    const PatternPoint& r = *hs[3]->point;
    auto side = [](const PatternPoint& a, const PatternPoint& b, const PatternPoint& q) {
        return (b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x);
    };
    EXPECT_GT(side(*hs[0]->point, *hs[1]->point, r), 0);
    EXPECT_GT(side(*hs[1]->point, *hs[2]->point, r), 0);
    EXPECT_GT(side(*hs[2]->point, *hs[0]->point, r), 0);
}

TEST_F(FacePlacementTest, CubeUnfoldsIntoOnePartWithFiveFoldsAndSevenCuts)
{
    Model& m = take(boxSpec());
    session.status.busy = true;
    unfoldAll(session, m);
    EXPECT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0]->faceCount, 6);
    EXPECT_EQ(countState(m, EdgeState::Fold), 5);
    EXPECT_EQ(countState(m, EdgeState::Cut), 7);
    EXPECT_TRUE(session.status.finished);
    EXPECT_FALSE(session.status.busy);
    EXPECT_EQ(session.status.unfoldedFaceCount, 6);
}
