// The engine against the straightforward reference engine: on generated
// models with several objects and random marked cuts, under every strategy
// and with the overlap check on and off, both give the same parts, the same
// placements, points, corner copies, edge states, cut numbers and sheet.
#include "support/reference_engine/reference_engine.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/unfold_all.h"

#include <bit>
#include <cstdint>
#include <map>
#include <random>
#include <string>

using namespace nettor;
using namespace nettor::test;

namespace {

// Everything an unfolding leaves in the model, as exact bit patterns with a
// label each, so that a difference names what differs.
std::vector<std::pair<std::string, std::uint64_t>> snapshot(const Model& m, const UnfoldStatus& status)
{
    std::vector<std::pair<std::string, std::uint64_t>> out;
    auto put = [&](std::string label, double v) { out.emplace_back(std::move(label), std::bit_cast<std::uint64_t>(v)); };
    std::map<const Face*, int> faceNumber;
    int n = 0;
    for (auto& object : m.objects)
        for (const Face* f : object->faces) faceNumber[f] = n++;
    n = 0;
    for (auto& object : m.objects) {
        for (const Face* f : object->faces) {
            const std::string at = "face " + std::to_string(n++);
            put(at + " part", f->part ? f->part->id : -1);
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                put(at + " point x", h->point ? h->point->x : -1e300);
                put(at + " point y", h->point ? h->point->y : -1e300);
                put(at + " copy", h->cornerCopy ? h->cornerCopy->x + 3 * h->cornerCopy->y + 7 * h->cornerCopy->z : -1e300);
                put(at + " fold", h->foldPartner != nullptr);
            }
        }
        for (std::size_t i = 0; i < object->edges.size(); ++i) {
            const Edge* e = object->edges[i];
            put("edge " + std::to_string(i) + " state", static_cast<double>(e->state));
            put("edge " + std::to_string(i) + " id", e->edgeId);
        }
    }
    for (auto& part : m.parts) {
        const std::string at = "part " + std::to_string(part->id);
        for (const Face* f : part->faces) put(at + " face", faceNumber.at(f));
        for (double v : {part->offsetX, part->offsetY, part->width, part->height, part->minX, part->minY})
            put(at + " placement", v);
        put(at + " best", part->bestCandidate != nullptr);
    }
    put("sheet width", m.sheetWidth);
    put("sheet height", m.sheetHeight);
    put("scale", m.patternScale);
    put("parts", static_cast<double>(status.partCount));
    put("placed", status.unfoldedFaceCount);
    put("finished", status.finished);
    return out;
}

class EngineAgainstReference : public UnfoldTest {
protected:
    // Unfolds a fresh model from the specs with one engine, after marking
    // the edges the seed picks, and returns what it left.
    std::vector<std::pair<std::string, std::uint64_t>> run(const std::vector<MeshSpec>& specs, bool reference,
                                                           unsigned cutSeed, double cutShare)
    {
        Model& m = take(buildModel(specs));
        std::mt19937 rng(cutSeed);
        std::bernoulli_distribution cut(cutShare);
        for (auto& object : m.objects)
            for (Edge* e : object->edges)
                if (e->halfEdge1 && e->halfEdge2 && cut(rng)) e->state = EdgeState::MarkedCut;
        session.status.busy = true;
        session.status.quiet = true;
        if (reference)
            reference::unfoldAll(session, m);
        else
            unfoldAll(session, m);
        auto result = snapshot(m, session.status);
        session.replaceModel(nullptr);
        const auto strategy = session.settings.unfoldStrategy;
        const auto check = session.overlapCheck.load();
        resetSession(session);
        session.settings.unfoldStrategy = strategy;
        session.overlapCheck = check;
        return result;
    }
};

TEST_F(EngineAgainstReference, SameUnfoldingOnGeneratedModels)
{
    std::mt19937 rng(777);
    std::vector<std::vector<MeshSpec>> models;
    models.push_back({subdividedSphereSpec(2), translated(starPrismSpec(rng, 5), {3, 0, 0}),
                      translated(combPrismSpec(rng, 4), {0, 3, 0})});
    models.push_back({closedHeightFieldSpec(rng, 7), translated(torusSpec(10, 6), {0, 0, 3})});
    // Many small separate pieces put the arrangement to work.
    std::vector<MeshSpec> pieces;
    for (int i = 0; i < 40; ++i) pieces.push_back(translated(randomConvexSpec(rng, 4 + i % 3), {i * 3.0, 0, 0}));
    models.push_back(pieces);

    for (std::size_t mi = 0; mi < models.size(); ++mi)
        for (int strategy = 0; strategy < 3; ++strategy)
            for (int overlap = 0; overlap < 2; ++overlap) {
                session.settings.unfoldStrategy = strategy;
                session.overlapCheck = overlap;
                const unsigned seed = static_cast<unsigned>(100 * mi + 10 * strategy + overlap);
                const double share = (strategy + overlap) % 3 == 0 ? 0.0 : 0.1 * (strategy + 1);
                const auto expected = run(models[mi], true, seed, share);
                const auto actual = run(models[mi], false, seed, share);
                ASSERT_EQ(expected.size(), actual.size()) << "model " << mi;
                for (std::size_t i = 0; i < expected.size(); ++i)
                    ASSERT_EQ(expected[i], actual[i])
                        << "model " << mi << ", strategy " << strategy << ", overlap check " << overlap;
            }
}

} // namespace

// A part of thousands of faces: the engine drops what it laid out for open
// edges long closed (compactOpen) while the part grows, and still decides
// as the reference does.
TEST_F(EngineAgainstReference, SameUnfoldingOfAPartOfThousandsOfFaces)
{
    session.settings.unfoldStrategy = 1;
    session.overlapCheck = 1;
    const std::vector<MeshSpec> sphere{subdividedSphereSpec(4)};
    const auto expected = run(sphere, true, 1, 0.0);
    const auto actual = run(sphere, false, 1, 0.0);
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(expected[i], actual[i]) << expected[i].first;
}
