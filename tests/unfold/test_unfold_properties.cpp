// Invariants of complete automatic unfoldings over many generated models.
#include "support/polygon_overlap.h"
#include "support/shape_generators.h"
#include "support/unfold_fixture.h"
#include "unfold/face_normal.h"
#include "unfold/overlap.h"
#include "unfold/unfold_all.h"

#include <cmath>
#include <map>
#include <set>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Generated {
    std::string name;
    std::vector<MeshSpec> objects;
};

std::vector<Generated> generatedModels()
{
    std::mt19937 rng(20240611);
    std::vector<Generated> out;
    for (int i = 0; i < 12; ++i)
        out.push_back({"convex" + std::to_string(i), {randomConvexSpec(rng, 8 + i * 2)}});
    out.push_back({"sphere1", {subdividedSphereSpec(1)}});
    out.push_back({"sphere2", {subdividedSphereSpec(2)}});
    out.push_back({"torus", {torusSpec(16, 8)}});
    out.push_back({"thinTorus", {torusSpec(10, 6, 3.0, 0.4)}});
    for (int i = 0; i < 3; ++i) out.push_back({"height" + std::to_string(i), {bumpyHeightFieldSpec(rng, 7)}});
    for (int i = 0; i < 4; ++i) out.push_back({"star" + std::to_string(i), {starPrismSpec(rng, 4 + i)}});
    out.push_back({"lBlock", {lPrismSpec()}});
    out.push_back({"several",
                   {boxSpec(), translated(subdividedSphereSpec(1), {4, 0, 0}),
                    translated(torusSpec(8, 5), {0, 5, 0}), translated(starPrismSpec(rng, 5), {0, 0, 4})}});
    // Shapes whose faces overlap around corners and across non-convex faces
    // without any side crossing another.
    for (int teeth : {3, 4, 6}) out.push_back({"comb" + std::to_string(teeth), {combPrismSpec(rng, teeth)}});
    for (int n : {8, 10, 12})
        out.push_back({"closedHeight" + std::to_string(n), {closedHeightFieldSpec(rng, n)}});
    out.push_back({"torus48x24", {torusSpec(48, 24)}});
    return out;
}

double cross2(const PatternPoint& a, const PatternPoint& b, const PatternPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

class UnfoldProperties : public UnfoldTest,
                         public ::testing::WithParamInterface<std::tuple<int, int>> {};

void checkFacesPlacedOnce(const Model& m)
{
    std::map<const Face*, int> seen;
    int total = 0;
    for (auto& part : m.parts) {
        EXPECT_EQ(part->faceCount, static_cast<int>(part->faces.size()));
        for (const Face* f : part->faces) {
            ++seen[f];
            EXPECT_EQ(f->part, part.get());
        }
        total += part->faceCount;
    }
    EXPECT_EQ(total, m.faceCount);
    for (auto& o : m.objects)
        for (const Face* f : o->faces) {
            EXPECT_EQ(f->unfolded, 1);
            EXPECT_EQ(seen[f], 1);
        }
}

void checkCongruence(const Model& m)
{
    for (auto& o : m.objects)
        for (const Face* f : o->faces) {
            const auto& hs = f->outerLoop.halfEdges;
            const std::size_t n = hs.size();
            const Vec3 normal = outwardNormal(*f);
            double scale = 0;
            for (const HalfEdge* h : hs) scale = std::max(scale, h->edge->length);
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_NE(hs[i]->point, nullptr);
                for (std::size_t j = i + 1; j < n; ++j) {
                    const double d2 = std::hypot(hs[i]->point->x - hs[j]->point->x,
                                                 hs[i]->point->y - hs[j]->point->y);
                    const double d3 = length(hs[i]->origin->position - hs[j]->origin->position);
                    EXPECT_NEAR(d2, d3, 1e-9 * std::max(1.0, scale)) << "face " << f->index;
                }
                // Same turning sense at every corner that has one.
                const HalfEdge* h = hs[i];
                const Vec3& p = h->origin->position;
                const double sense3 =
                    dot(normal, cross(h->next->origin->position - p, h->prev->origin->position - p));
                const double sense2 = cross2(*h->point, *h->next->point, *h->prev->point);
                if (std::abs(sense3) > 1e-6 * scale * scale) {
                    EXPECT_EQ(sense3 > 0, sense2 > 0) << "face " << f->index << " corner " << i;
                }
            }
        }
}

void checkFoldSharing(const Model& m)
{
    std::size_t folds = 0;
    for (auto& o : m.objects)
        for (const Edge* e : o->edges) {
            EXPECT_TRUE(e->state == EdgeState::Fold || e->state == EdgeState::Cut ||
                        e->state == EdgeState::MarkedCut || e->state == EdgeState::Border)
                << static_cast<int>(e->state);
            const HalfEdge* a = e->halfEdge1;
            const HalfEdge* b = e->halfEdge2;
            if (e->state != EdgeState::Fold) {
                if (a) {
                    EXPECT_EQ(a->foldPartner, nullptr);
                }
                if (b) {
                    EXPECT_EQ(b->foldPartner, nullptr);
                }
                continue;
            }
            ++folds;
            EXPECT_EQ(a->foldPartner, b);
            EXPECT_EQ(b->foldPartner, a);
            EXPECT_EQ(a->loop->face->part, b->loop->face->part);
            EXPECT_EQ(a->point, b->next->point);
            EXPECT_EQ(a->next->point, b->point);
            EXPECT_EQ(a->cornerCopy, b->next->cornerCopy);
            EXPECT_EQ(a->next->cornerCopy, b->cornerCopy);
        }
    // Each part is a tree of faces joined by folds.
    EXPECT_EQ(folds + m.parts.size(), static_cast<std::size_t>(m.faceCount));
}

void checkOutlinesDoNotCross(const Model& m)
{
    // A face's sides are tested, when it joins, against the outline of every
    // face of the part but its parent.
    for (auto& part : m.parts) {
        std::map<const Face*, const Face*> parent;
        for (const Face* f : part->faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges)
                if (h->foldPartner && !parent.count(f)) {
                    // The face placed earlier of the two is the parent.
                    const Face* g = h->foldPartner->loop->face;
                    const auto posF = std::find(part->faces.begin(), part->faces.end(), f);
                    const auto posG = std::find(part->faces.begin(), part->faces.end(), g);
                    if (posG < posF) parent[f] = g;
                }
        for (std::size_t i = 0; i < part->faces.size(); ++i)
            for (std::size_t j = i + 1; j < part->faces.size(); ++j) {
                const Face* fi = part->faces[i];
                const Face* fj = part->faces[j];
                if (parent[fj] == fi) continue;
                for (const HalfEdge* a : fi->outerLoop.halfEdges) {
                    if (a->foldPartner) continue;
                    for (const HalfEdge* b : fj->outerLoop.halfEdges) {
                        if (b->foldPartner) continue;
                        EXPECT_FALSE(segmentsIntersect(*a->point, *a->next->point, *b->point,
                                                       *b->next->point, 0.0011))
                            << "faces " << fi->index << " and " << fj->index;
                    }
                }
            }
    }
}

// Measured with the library's polygon intersection, not with the engine's
// own test.
void checkFacesDoNotOverlap(const Model& m)
{
    for (const FacePairOverlap& o : overlappingFacePairs(m, 1e-6)) ADD_FAILURE() << o.describe();
}

void checkSheet(const Model& m)
{
    const double tol = 1e-9;
    for (std::size_t i = 0; i < m.parts.size(); ++i) {
        const UnfoldedPart& a = *m.parts[i];
        EXPECT_GE(a.minX + a.offsetX, -tol);
        EXPECT_GE(a.minY + a.offsetY, -tol);
        EXPECT_LE(a.maxX + a.offsetX, m.sheetWidth + tol);
        EXPECT_LE(a.maxY + a.offsetY, m.sheetHeight + tol);
        for (std::size_t j = i + 1; j < m.parts.size(); ++j) {
            const UnfoldedPart& b = *m.parts[j];
            const bool apart = a.maxX + a.offsetX <= b.minX + b.offsetX + tol ||
                               b.maxX + b.offsetX <= a.minX + a.offsetX + tol ||
                               a.maxY + a.offsetY <= b.minY + b.offsetY + tol ||
                               b.maxY + b.offsetY <= a.minY + a.offsetY + tol;
            EXPECT_TRUE(apart) << "parts " << i << " and " << j;
        }
    }
}

void checkEdgeIds(const Model& m)
{
    std::set<int> ids;
    std::size_t cuts = 0;
    for (auto& o : m.objects)
        for (const Edge* e : o->edges) {
            if (e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut) {
                ++cuts;
                EXPECT_TRUE(ids.insert(e->edgeId).second) << e->edgeId;
            } else {
                EXPECT_EQ(e->edgeId, -1);
            }
        }
    EXPECT_EQ(ids.size(), cuts);
    if (!ids.empty()) {
        EXPECT_EQ(*ids.begin(), 1);
        EXPECT_EQ(*ids.rbegin(), static_cast<int>(cuts));
    }
}

} // namespace

TEST_P(UnfoldProperties, InvariantsHold)
{
    static const std::vector<Generated> models = generatedModels();
    const auto [index, strategy] = GetParam();
    const Generated& g = models.at(static_cast<std::size_t>(index));
    SCOPED_TRACE(g.name + " strategy " + std::to_string(strategy));
    session.settings.unfoldStrategy = strategy;
    Model& m = take(buildModel(g.objects));
    // A few marked cuts in the larger models.
    if (m.objects[0]->edges.size() > 20)
        for (std::size_t i = 3; i < m.objects[0]->edges.size(); i += 11)
            if (m.objects[0]->edges[i]->state != EdgeState::Border)
                m.objects[0]->edges[i]->state = EdgeState::MarkedCut;
    session.status.busy = true;
    ASSERT_FALSE(unfoldAll(session, m));
    ASSERT_TRUE(session.status.finished);
    checkFacesPlacedOnce(m);
    checkCongruence(m);
    checkFoldSharing(m);
    checkOutlinesDoNotCross(m);
    checkFacesDoNotOverlap(m);
    checkSheet(m);
    checkEdgeIds(m);
    EXPECT_TRUE(std::isfinite(m.patternScale) && m.patternScale > 0);
    for (auto& c : m.cornerPool) EXPECT_TRUE(std::isfinite(c->x + c->y + c->z));
}

INSTANTIATE_TEST_SUITE_P(GeneratedModels, UnfoldProperties,
                         ::testing::Combine(::testing::Range(0, 32), ::testing::Values(0, 1, 2)));
