// The arrangement tries the parts near a position first, in grids of the
// placed parts' rectangles: that must never change where a part goes.
#include "support/unfold_fixture.h"
#include "unfold/arrange_parts.h"
#include "unfold/overlap.h"
#include "unfold/start_part.h"

#include <atomic>
#include <cfloat>
#include <optional>
#include <random>
#include <thread>

using namespace nettor;
using namespace nettor::test;

namespace {

struct Rect {
    double x0, y0, x1, y1;
};

// The arrangement as described, step by step, with every earlier part
// tested in order: the offsets it gives each part, in creation order.
std::vector<std::pair<double, double>> referenceArrangement(const Model& m)
{
    struct P {
        double minX, minY, w, h, ox = 0, oy = 0;
    };
    std::vector<P> parts;
    for (auto& part : m.parts) {
        double minX = DBL_MAX, minY = DBL_MAX, maxX = -DBL_MAX, maxY = -DBL_MAX;
        for (const Face* f : part->faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                minX = std::min(minX, h->point->x);
                minY = std::min(minY, h->point->y);
                maxX = std::max(maxX, h->point->x);
                maxY = std::max(maxY, h->point->y);
            }
        parts.push_back({minX, minY, (maxX - minX) * 1.15, (maxY - minY) * 1.15});
    }
    std::vector<std::size_t> order, left;
    for (std::size_t i = 0; i < parts.size(); ++i) left.push_back(i);
    while (!left.empty()) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < left.size(); ++i)
            if (parts[left[i]].w * parts[left[i]].h > parts[left[best]].w * parts[left[best]].h) best = i;
        order.push_back(left[best]);
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
    }
    auto inRect = [](double px, double py, const Rect& r) {
        return r.x0 <= px && px <= r.x1 && r.y0 <= py && py <= r.y1;
    };
    std::vector<double> xs{0}, ys{0};
    double W = 0, H = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        P& r = parts[order[k]];
        double bestScore = DBL_MAX, bx = 0, by = 0;
        for (double y : ys)
            for (double x : xs) {
                const double w2 = std::max(W, x + r.w), h2 = std::max(H, y + r.h);
                const double score = h2 / w2 >= 1.414 ? h2 * h2 * 0.7072135785007072 : w2 * w2 * 1.414;
                if (!(score < bestScore || (score == bestScore && y < by) ||
                      (score == bestScore && y == by && x < bx)))
                    continue;
                const double dx = 0.001 * r.w, dy = 0.001 * r.h;
                const Rect t{x + dx, y + dy, x + dx + r.w, y + dy + r.h};
                bool hit = false;
                for (std::size_t j = 0; j < k && !hit; ++j) {
                    const P& s = parts[order[j]];
                    const Rect o{s.minX + s.ox, s.minY + s.oy, s.minX + s.ox + s.w, s.minY + s.oy + s.h};
                    const double ox[4] = {o.x0, o.x0, o.x1, o.x1}, oy[4] = {o.y0, o.y1, o.y0, o.y1};
                    const double tx[4] = {t.x0, t.x0, t.x1, t.x1}, ty[4] = {t.y0, t.y1, t.y0, t.y1};
                    for (int i = 0; i < 4; ++i) hit = hit || inRect(ox[i], oy[i], t) || inRect(tx[i], ty[i], o);
                    hit = hit || segmentsIntersect({o.x0 - dx, o.y1 - dy}, {o.x1 - dx, o.y0 - dy},
                                                   {t.x0, t.y0}, {t.x1, t.y1}, 0.0);
                }
                if (hit) continue;
                bestScore = score;
                bx = x;
                by = y;
            }
        r.ox = bx - r.minX;
        r.oy = by - r.minY;
        xs.push_back(bx + r.w);
        ys.push_back(by + r.h);
        W = std::max(W, bx + r.w);
        H = std::max(H, by + r.h);
    }
    std::vector<std::pair<double, double>> out;
    for (const P& p : parts) out.emplace_back(p.ox, p.oy);
    return out;
}

// Threads that keep every core busy while they live, so that the
// arrangement's second thread begins late or not at all.
class BusyCores {
public:
    BusyCores()
    {
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
            threads_.emplace_back([this] {
                while (busy_.load(std::memory_order_relaxed)) {
                }
            });
    }
    ~BusyCores()
    {
        busy_ = false;
        for (std::thread& t : threads_) t.join();
    }

private:
    std::atomic<bool> busy_{true};
    std::vector<std::thread> threads_;
};

class ArrangementSearchTest : public UnfoldTest {
protected:
    // A triangle of width s and height t with its first corner at o.
    struct Triangle {
        Vec3 o;
        double s, t;
    };

    // Each triangle a part of its own: the arrangement must give every part
    // the reference's offsets.
    void expectReferencePlacements(const std::vector<Triangle>& triangles, int round)
    {
        resetSession(session);
        std::vector<MeshSpec> specs;
        for (const Triangle& tr : triangles) {
            MeshSpec tri;
            tri.vertices = {tr.o, tr.o + Vec3{tr.s, 0, 0}, tr.o + Vec3{tr.s * 0.3, tr.t, tr.t * 0.2}};
            tri.faces = {{0, 1, 2}};
            specs.push_back(tri);
        }
        Model& m = take(buildModel(specs));
        session.status.busy = true;
        session.status.quiet = true;
        for (auto& o : m.objects) startPart(session, *o->faces[0]);
        ASSERT_EQ(m.parts.size(), triangles.size());
        const auto expected = referenceArrangement(m);
        for (std::size_t i = 0; i < m.parts.size(); ++i) {
            ASSERT_EQ(m.parts[i]->offsetX, expected[i].first) << "round " << round << " part " << i;
            ASSERT_EQ(m.parts[i]->offsetY, expected[i].second) << "round " << round << " part " << i;
        }
    }
};

} // namespace

TEST_F(ArrangementSearchTest, ArrangementMatchesTheStepByStepReference)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> at(-4.0, 4.0), size(0.05, 1.0);
    for (int round = 0; round < 5; ++round) {
        // Separate triangles of random sizes, some of them without height.
        std::vector<Triangle> triangles;
        for (int i = 0; i < 30 + 25 * round; ++i) {
            const Vec3 o{at(rng), at(rng), at(rng)};
            const double s = size(rng), t = i % 13 == 0 ? 0.0 : size(rng);
            triangles.push_back({o, s, t});
        }
        expectReferencePlacements(triangles, round);
    }
}

// Hundreds of parts with no part of zero size, so that every part goes
// through the search by rows: random sizes, many equal ones (positions that
// coincide exactly), and long thin parts across short wide ones; random
// sizes once more while every core is kept busy.
TEST_F(ArrangementSearchTest, ManyPartsGoWhereTheReferencePutsThem)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> at(-4.0, 4.0), size(0.05, 1.0);
    for (int round = 0; round < 5; ++round) {
        std::vector<Triangle> triangles;
        for (int i = 0; i < (round == 0 ? 180 : 140); ++i) {
            double s = size(rng), t = size(rng);
            if (round == 1) s = 0.6, t = 0.4;
            if (round == 2 && i % 3 == 0) s = 1.0, t = 0.04;
            if (round == 2 && i % 3 == 1) s = 0.04, t = 1.0;
            if (round == 3) s = i % 2 ? 0.5 : 0.25, t = i % 2 ? 0.25 : 0.5;
            const Vec3 o{at(rng), at(rng), at(rng)};
            triangles.push_back({o, s, t});
        }
        // The last round shares the machine with busy threads: the rows
        // the second thread leaves are searched all the same.
        std::optional<BusyCores> busy;
        if (round == 4) busy.emplace();
        expectReferencePlacements(triangles, round);
    }
}
