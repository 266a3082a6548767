// The overlap test the engine runs (PartGrowthIndex::canAttach): faces that
// would overlap the part without crossing its outline.
#include "support/polygon_overlap.h"
#include "support/unfold_fixture.h"
#include "unfold/attach_face.h"
#include "unfold/growth_index.h"
#include "unfold/start_part.h"

using namespace nettor;
using namespace nettor::test;

namespace {

class CanAttachTest : public UnfoldTest {};

// The verdict of the engine's index for the part as it stands, built as the
// engine builds it when it walks the part.
bool engineCanAttach(const EngineState& engine, const UnfoldedPart& part, const Face& face, const Edge& edge)
{
    PartGrowthIndex index(1.0, engine.overlapCheck.load(), engine.settings.unfoldStrategy);
    for (const Face* f : part.faces)
        if (f->unfolded) index.addFace(*f);
    GridBox box;
    return index.canAttach(face, edge, box);
}

// A unit square in the plane z = 0 (the start face) and, across its side
// x = 0, a hook in the plane x = 0: a body above the shared side and a bar
// that runs back under it, at a depth from `barTop` to `barTop` - 0.5 below
// the square's plane. Laid flat, the body goes beside the square and the bar
// comes back over it when it lies less than the square's width deep.
MeshSpec squareAndHookSpec(double barTop)
{
    MeshSpec s;
    s.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    // The hook's corners as (y, z) in the plane x = 0, starting along the
    // shared side from (0, 0, 0) to (0, 1, 0).
    const double bottom = barTop - 0.5;
    const std::vector<std::pair<double, double>> hook = {
        {0, 0}, {1, 0}, {1, barTop}, {0, barTop}, {0, bottom}, {1.5, bottom}, {1.5, 1}, {0, 1}};
    std::vector<int> face = {0, 3};
    for (std::size_t i = 2; i < hook.size(); ++i) {
        face.push_back(static_cast<int>(s.vertices.size()));
        s.vertices.push_back({0, hook[i].first, hook[i].second});
    }
    s.faces = {{0, 1, 2, 3}, face};
    return s;
}

} // namespace

TEST_F(CanAttachTest, AFaceReachingBackOverItsNeighbourIsRefused)
{
    for (const double barTop : {-0.3, -2.0}) {
        SCOPED_TRACE(testing::Message() << "bar at " << barTop);
        const bool over = barTop > -1.0;
        resetSession(session);
        Model& m = take(squareAndHookSpec(barTop));
        Face& square = *m.objects[0]->faces[0];
        Face& hook = *m.objects[0]->faces[1];
        Edge& shared = *edgeBetween(m, 1, 4);
        session.status.busy = true;
        startPart(session, square);
        // The square is the hook's only neighbour: no outline but its own,
        // which the side test leaves out.
        EXPECT_EQ(engineCanAttach(session, *m.currentPart, square, shared), !over);
        EXPECT_EQ(shared.state, over ? EdgeState::Blocked : EdgeState::Candidate);

        // Attached all the same (the check off), the hook does lie over the
        // square exactly when it was refused.
        session.overlapCheck = 0;
        EXPECT_TRUE(engineCanAttach(session, *m.currentPart, square, shared));
        attachFace(session, shared);
        ASSERT_EQ(hook.part, m.currentPart);
        const double area = intersectionArea(patternCorners(square), patternCorners(hook));
        if (over)
            EXPECT_GT(area, 0.1);
        else
            EXPECT_LT(area, 1e-12);
    }
}
