// Automatic unfolding with the search for fewer parts.
#include "formats/cut_edge_file.h"
#include "support/polygon_overlap.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/fewer_parts_search.h"
#include "unfold/unfold_all.h"
#include "unfold/unfold_with_fewer_parts.h"

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

using namespace nettor;
using namespace nettor::test;

namespace {

// Everything that makes up an unfolding, with faces and edges by their
// position in model order: each part's faces in placement order, every
// edge's state, every corner's place.
struct Unfolding {
    std::vector<std::vector<int>> parts;
    std::vector<int> edgeStates;
    std::vector<double> points;
    bool operator==(const Unfolding&) const = default;
};

Unfolding unfoldingOf(const Model& m)
{
    std::map<const Face*, int> number;
    Unfolding u;
    for (auto& o : m.objects) {
        for (const Face* f : o->faces) {
            const int n = static_cast<int>(number.size());
            number[f] = n;
            for (const HalfEdge* h : f->outerLoop.halfEdges)
                if (h->point) u.points.insert(u.points.end(), {h->point->x, h->point->y});
        }
        for (const Edge* e : o->edges) u.edgeStates.push_back(static_cast<int>(e->state));
    }
    for (auto& part : m.parts) {
        u.parts.emplace_back();
        for (const Face* f : part->faces) u.parts.back().push_back(number.at(f));
    }
    return u;
}

class FewerPartsTest : public UnfoldTest {
protected:
    // Unfolds the model automatically with the search on.
    Model& unfoldWithSearch(const MeshSpec& spec, double seconds, std::uint32_t seed = 1, int rounds = 0)
    {
        Model& m = take(spec);
        Session& state = session;
        state.partSearch.enabled = true;
        state.partSearch.timeLimitSeconds = seconds;
        state.partSearch.seed = seed;
        state.partSearch.maxRounds = rounds;
        state.status.busy = true;
        EXPECT_FALSE(unfoldAutomatically(session, m));
        return m;
    }

    // A complete unfolding: every face placed once, in a part of faces that
    // do not overlap (measured by the library's polygon intersection), the
    // counters and the completion as after any automatic unfolding.
    void checkComplete(const Model& m) const
    {
        std::map<const Face*, int> seen;
        for (auto& part : m.parts) {
            EXPECT_EQ(part->faceCount, static_cast<int>(part->faces.size()));
            for (const Face* f : part->faces) {
                ++seen[f];
                EXPECT_EQ(f->part, part.get());
            }
        }
        for (auto& o : m.objects)
            for (const Face* f : o->faces) {
                EXPECT_EQ(f->unfolded, 1);
                EXPECT_EQ(seen[f], 1);
            }
        EXPECT_EQ(static_cast<int>(seen.size()), m.faceCount);
        for (const FacePairOverlap& o : overlappingFacePairs(m, 1e-6)) ADD_FAILURE() << o.describe();
        const UnfoldStatus& status = session.status;
        EXPECT_TRUE(status.finished);
        EXPECT_FALSE(status.busy);
        EXPECT_EQ(status.unfoldedFaceCount, m.faceCount);
        EXPECT_EQ(status.partCount, static_cast<int>(m.parts.size()));
        EXPECT_GT(m.sheetWidth, 0.0);
        // The best count shown during the search is the count it found.
        EXPECT_GE(status.bestPartCount, 1);
        EXPECT_LE(status.bestPartCount, static_cast<int>(m.parts.size()));
    }

    // The cut edges of the current unfolding, as a cut-edge file lists them.
    std::string cutEdgeIndices() const
    {
        std::ostringstream out;
        writeCutEdgeFile(*session.model, out, "model.obj");
        const std::string text = out.str();
        std::size_t at = 0;
        for (int line = 0; line < 4; ++line) at = text.find('\n', at) + 1;
        return text.substr(at);
    }
};

} // namespace

TEST_F(FewerPartsTest, ConvexSolidsUnfoldIntoOnePart)
{
    std::mt19937 rng(7);
    for (int points : {110, 160, 210}) {
        const MeshSpec spec = randomConvexSpec(rng, points);
        SCOPED_TRACE(spec.faces.size());
        const Model& m = unfoldWithSearch(spec, 1.0);
        EXPECT_EQ(m.parts.size(), 1u);
        checkComplete(m);
    }
}

TEST_F(FewerPartsTest, ASubdividedSphereUnfoldsIntoOnePart)
{
    const Model& m = unfoldWithSearch(subdividedSphereSpec(3), 1.0); // 1,280 faces
    EXPECT_EQ(m.parts.size(), 1u);
    checkComplete(m);
}

TEST_F(FewerPartsTest, ATorusNeedsFewParts)
{
    const Model& m = unfoldWithSearch(torusSpec(48, 24), 0.3);
    EXPECT_LE(m.parts.size(), 13u);
    checkComplete(m);
}

TEST_F(FewerPartsTest, AClosedHeightFieldNeedsFewParts)
{
    std::mt19937 rng(20);
    const Model& m = unfoldWithSearch(closedHeightFieldSpec(rng, 20), 0.3);
    EXPECT_LE(m.parts.size(), 7u);
    checkComplete(m);
}

TEST_F(FewerPartsTest, SavedCutEdgesUnfoldIntoTheSameParts)
{
    std::mt19937 rng(3);
    const MeshSpec spec = closedHeightFieldSpec(rng, 8);
    const Unfolding found = unfoldingOf(unfoldWithSearch(spec, 0.5));
    const std::string cuts = cutEdgeIndices();

    resetSession(session);
    std::unique_ptr<Model> reloaded = buildModel(spec);
    EXPECT_EQ(markListedEdges(*reloaded, cuts, "test"), 0);
    Model& m = take(std::move(reloaded));
    session.status.busy = true;
    unfoldAll(session, m);
    const Unfolding again = unfoldingOf(m);
    EXPECT_EQ(again.parts, found.parts);
    EXPECT_EQ(again.points, found.points);
    // Cut edges come back marked; everything else is as found.
    ASSERT_EQ(again.edgeStates.size(), found.edgeStates.size());
    for (std::size_t i = 0; i < found.edgeStates.size(); ++i) {
        const int expected = found.edgeStates[i] == static_cast<int>(EdgeState::Cut)
                                 ? static_cast<int>(EdgeState::MarkedCut)
                                 : found.edgeStates[i];
        EXPECT_EQ(again.edgeStates[i], expected) << "edge " << i;
    }
}

TEST_F(FewerPartsTest, TheSameSeedGivesTheSameUnfolding)
{
    // A round budget rather than the clock ends the search here, so that
    // both runs see the same rounds.
    const MeshSpec spec = torusSpec(16, 8, 2.0, 1.2);
    const Unfolding first = unfoldingOf(unfoldWithSearch(spec, 60.0, 5, 3));
    const int rounds = session.status.searchRounds;
    resetSession(session);
    const Unfolding second = unfoldingOf(unfoldWithSearch(spec, 60.0, 5, 3));
    EXPECT_EQ(first, second);
    EXPECT_EQ(session.status.searchRounds, rounds);
    // Beyond the first round's starts: the moves had work to do.
    EXPECT_GT(rounds, 1);
}

TEST_F(FewerPartsTest, TheRoundsOfATimedSearchRepeatIt)
{
    // The clock ends the first search; the rounds it made, given as a
    // budget, repeat it whatever the time limit.
    std::mt19937 rng(5);
    const MeshSpec spec = closedHeightFieldSpec(rng, 12);
    const Unfolding timed = unfoldingOf(unfoldWithSearch(spec, 0.05, 7));
    const int rounds = session.status.searchRounds;
    ASSERT_GE(rounds, 1);
    ASSERT_FALSE(listener.statusMessages.empty());
    EXPECT_EQ(listener.statusMessages.back(), partSearchSummary(rounds, 7));

    for (double seconds : {0.0, 600.0}) {
        resetSession(session);
        const Unfolding repeated = unfoldingOf(unfoldWithSearch(spec, seconds, 7, rounds));
        EXPECT_EQ(session.status.searchRounds, rounds) << seconds;
        EXPECT_EQ(repeated, timed) << seconds;
    }
    // Another seed searches otherwise: the seed is not ignored.
    resetSession(session);
    const Unfolding otherSeed = unfoldingOf(unfoldWithSearch(spec, 0.0, 8, rounds + 40));
    EXPECT_NE(otherSeed, timed);
    checkComplete(*session.model);
}

TEST_F(FewerPartsTest, SwitchedOffItIsTheOrdinaryUnfolding)
{
    std::mt19937 rng(11);
    const MeshSpec spec = closedHeightFieldSpec(rng, 6);
    Model& ordinary = take(spec);
    session.status.busy = true;
    unfoldAll(session, ordinary);
    const Unfolding expected = unfoldingOf(ordinary);

    resetSession(session);
    Model& m = take(spec);
    session.partSearch.enabled = false;
    session.partSearch.timeLimitSeconds = 0.2;
    session.partSearch.seed = 99;
    session.status.busy = true;
    EXPECT_FALSE(unfoldAutomatically(session, m));
    EXPECT_EQ(unfoldingOf(m), expected);
    EXPECT_EQ(session.status.bestPartCount, 0);
    EXPECT_EQ(session.status.searchRounds, 0);
}

TEST_F(FewerPartsTest, ACancelEndsTheSearchWithTheBestUnfoldingFound)
{
    // Without the cancel the search would run for a minute.
    std::atomic<bool> stop{false};
    std::thread canceller([&] {
        while (!stop && session.status.bestPartCount == 0) std::this_thread::yield();
        session.status.cancelRequested = true;
    });
    const Model& m = unfoldWithSearch(torusSpec(48, 24), 60.0);
    stop = true;
    canceller.join();
    checkComplete(m);
}
