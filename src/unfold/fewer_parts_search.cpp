// How the search finds unfoldings with few parts.
//
// Growing one part at a time leaves the late parts with the leftovers. Here
// every face starts as a part of its own and whole parts are joined along
// their shared edges, best edge first, whenever the joined part stays free
// of overlap: Kruskal's algorithm on the faces' adjacency, with the overlap
// test as the condition for taking an edge. The test is the unfolding's own
// (facesOverlap with its tolerance), so the unfolding along the folds found
// accepts them; only its check of the fan diagonals of a non-convex face
// may refuse one, and that face then starts a part of its own. A join that fails once fails for
// good (parts only grow, and the faces of the two sides keep their relative
// positions), so one pass over the edges finishes a start.
//
// Then local moves improve the forest: a small part is broken into its faces
// together with a few leaf faces of its neighbours (taking a leaf keeps the
// neighbour a tree), and these faces are joined again across their edges in
// a randomly perturbed order. A move is kept when it leaves fewer parts, or
// as many parts with the faces gathered into larger ones (the sum of the
// square roots of the part sizes falls, or rises by little, as in simulated
// annealing); else the journal undoes it. Parts that shrink this way
// eventually vanish into their neighbours.
//
// Each start uses one edge order (flattest, longest, length by flatness,
// random, across a random direction), perturbed more in later rounds, and
// two threads search from different seeds; the fewest parts win, the first
// thread on a tie. Both stop at the time limit, at a cancel, or as soon as
// either reaches one part per connected group of faces. Every random choice
// comes from the seed, and budgets count moves, not time, so a seed and a
// round budget that ends the search first fix the result.
#include "unfold/fewer_parts_search.h"

#include "unfold/cut_tree_layout.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <numeric>
#include <random>
#include <thread>

namespace nettor {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kThreads = 2;
constexpr int kRules = 5;
constexpr int kStaleRounds = 24; // rounds without progress before giving up

struct Stop {
    Clock::time_point deadline;
    const std::atomic<bool>* cancel;
    // Some thread found the fewest parts possible. Null under a round
    // budget: each thread then runs its own rounds to the end, so that the
    // result does not depend on which thread got there first.
    const std::atomic<bool>* done;
    bool operator()() const
    {
        return (cancel && cancel->load()) || (done && done->load()) || Clock::now() >= deadline;
    }
};

class Searcher {
public:
    Searcher(const CutTreeMesh& mesh, bool overlapCheck, std::uint32_t seed, int thread, const Stop& stop,
             std::atomic<bool>* done, std::atomic<std::int32_t>* shared, int sharedOffset)
        : mesh_(mesh), layout_(mesh, overlapCheck), rng_(seed * 2654435761u + 97u * static_cast<unsigned>(thread)),
          thread_(thread), stop_(stop), done_(done), shared_(shared), sharedOffset_(sharedOffset)
    {
        base_.resize(mesh.links.size());
        inRegion_.assign(mesh.faceCount(), 0);
        linkSeen_.assign(mesh.links.size(), 0);
    }

    void run(int maxRounds)
    {
        int stale = 0;
        for (int round = 0; maxRounds <= 0 || round < maxRounds; ++round) {
            if ((round > 0 && stop_()) || best_ == mesh_.componentCount) break;
            const int before = best_;
            rule_ = (round * kThreads + thread_) % kRules;
            noise_ = round < kRules ? 0.0 : 0.05 * (1 + round % 6);
            chooseBase();
            // The first start always completes: it is the result to fall back on.
            const bool done = kruskal(round > 0);
            record();
            if (done) improve();
            record();
            ++rounds_;
            stale = best_ < before ? 0 : stale + 1;
            if (stale >= kStaleRounds) break;
        }
    }

    int best() const { return best_; }
    const std::vector<char>& bestFolds() const { return bestFolds_; }
    int rounds() const { return rounds_; }

private:
    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); }

    void chooseBase()
    {
        std::normal_distribution<double> normal(0.0, 1.0);
        Vec3 dir{normal(rng_), normal(rng_), normal(rng_)};
        const double len = length(dir);
        dir = len > 0.0 ? dir / len : Vec3{1, 0, 0};
        for (std::size_t i = 0; i < mesh_.links.size(); ++i) {
            const CutTreeMesh::Link& l = mesh_.links[i];
            double b = 0.0;
            switch (rule_) {
            case 0: b = l.foldAngle; break;
            case 1: b = l.length; break;
            case 2: b = l.length * (l.foldAngle * 0.1 + 1.0); break;
            case 3: b = uniform(); break;
            default: b = 1.0 - std::fabs(dot(l.direction, dir)); break;
            }
            base_[i] = b;
        }
    }

    // The links in descending order of their perturbed base priority.
    void orderLinks(std::vector<int>& links, double noise)
    {
        keys_.resize(mesh_.links.size());
        for (int l : links) keys_[l] = base_[l] * (1.0 + noise * (2.0 * uniform() - 1.0));
        std::stable_sort(links.begin(), links.end(), [&](int a, int b) { return keys_[a] > keys_[b]; });
    }

    bool kruskal(bool interruptible)
    {
        layout_.makeSingletons();
        std::vector<int> links(mesh_.links.size());
        std::iota(links.begin(), links.end(), 0);
        orderLinks(links, noise_);
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (interruptible && (i & 63) == 0 && stop_()) return false;
            layout_.tryJoin(links[i]);
        }
        return true;
    }

    void record()
    {
        if (layout_.partCount() >= best_) return;
        best_ = layout_.partCount();
        bestFolds_ = layout_.folds();
        if (best_ == mesh_.componentCount) done_->store(true);
        if (shared_) {
            const std::int32_t shown = best_ + sharedOffset_;
            std::int32_t seen = shared_->load();
            while ((seen == 0 || seen > shown) && !shared_->compare_exchange_weak(seen, shown)) {
            }
        }
    }

    // Parts other than the largest, smallest first.
    void listSmallParts()
    {
        small_.clear();
        int largest = -1;
        for (int f = 0; f < mesh_.faceCount(); ++f) {
            const int p = layout_.partOf(f);
            if (layout_.partFaces(p).front() != f) continue; // each part once
            small_.push_back(p);
            if (largest < 0 || layout_.partSize(p) > layout_.partSize(largest)) largest = p;
        }
        small_.erase(std::remove(small_.begin(), small_.end(), largest), small_.end());
        std::stable_sort(small_.begin(), small_.end(),
                         [&](int a, int b) { return layout_.partSize(a) < layout_.partSize(b); });
    }

    void improve()
    {
        const long budget = 40L * layout_.partCount() + 400;
        long sinceList = 0;
        listSmallParts();
        for (long move = 0; move < budget; ++move) {
            if ((move & 15) == 0 && stop_()) return;
            if (layout_.partCount() == mesh_.componentCount) return;
            if (sinceList++ >= 16) {
                listSmallParts();
                sinceList = 0;
            }
            if (small_.empty()) return;
            const double u = uniform();
            const int part = small_[static_cast<std::size_t>(u * u * static_cast<double>(small_.size()))];
            if (layout_.partSize(part) == 0) {
                sinceList = 16;
                continue;
            }
            if (tryMove(part)) sinceList = 16;
        }
    }

    bool tryMove(int part)
    {
        const int partsBefore = layout_.partCount();
        const double spreadBefore = layout_.spread();
        layout_.beginTrial();

        region_ = layout_.partFaces(part);
        for (int f : region_) inRegion_[f] = 1;
        layout_.dissolve(part);
        // Take a few leaves of the neighbouring trees along.
        int peel = static_cast<int>(uniform() * (2.0 * static_cast<double>(region_.size()) + 6.0));
        for (std::size_t i = 0; i < region_.size() && peel > 0; ++i) {
            const int f = region_[i];
            for (int k = mesh_.linkStart[f]; k < mesh_.linkStart[f + 1] && peel > 0; ++k) {
                const CutTreeMesh::Link& l = mesh_.links[mesh_.faceLinks[k]];
                const int h = l.face[0] == f ? l.face[1] : l.face[0];
                if (inRegion_[h] || layout_.foldDegree(h) > 1 || uniform() < 0.5) continue;
                layout_.detachLeaf(h);
                inRegion_[h] = 1;
                region_.push_back(h);
                --peel;
            }
        }

        links_.clear();
        for (int f : region_)
            for (int k = mesh_.linkStart[f]; k < mesh_.linkStart[f + 1]; ++k) {
                const int l = mesh_.faceLinks[k];
                if (linkSeen_[l]) continue;
                linkSeen_[l] = 1;
                links_.push_back(l);
            }
        for (int l : links_) linkSeen_[l] = 0;
        for (int f : region_) inRegion_[f] = 0;
        orderLinks(links_, 0.3);
        for (int l : links_) layout_.tryJoin(l);

        const int parts = layout_.partCount();
        const double rise = layout_.spread() - spreadBefore;
        const bool keep = parts < partsBefore ||
                          (parts == partsBefore && (rise <= 1e-9 || uniform() < std::exp(-rise / 0.05)));
        if (keep) {
            layout_.endTrial();
            record();
        } else {
            layout_.undoTrial();
        }
        return keep;
    }

    const CutTreeMesh& mesh_;
    CutTreeLayout layout_;
    std::mt19937 rng_;
    int thread_;
    Stop stop_;
    std::atomic<bool>* done_;
    std::atomic<std::int32_t>* shared_;
    int sharedOffset_;
    int rule_ = 0;
    double noise_ = 0.0;
    std::vector<double> base_, keys_;
    std::vector<char> inRegion_, linkSeen_;
    std::vector<int> region_, links_, small_;
    int best_ = INT_MAX;
    std::vector<char> bestFolds_;
    int rounds_ = 0;
};

} // namespace

PartSearchResult searchFewerParts(const CutTreeMesh& mesh, const PartSearchSettings& settings,
                                  bool overlapCheck, const std::atomic<bool>* cancel,
                                  std::atomic<std::int32_t>* bestPartCount, int partsBefore)
{
    PartSearchResult result;
    if (mesh.faceCount() == 0) return result;
    const double limit = std::isfinite(settings.timeLimitSeconds) ? std::max(0.0, settings.timeLimitSeconds) : 1e9;
    std::atomic<bool> done{false};
    const Stop stop{Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(std::min(limit, 1e9))),
                    cancel, settings.maxRounds > 0 ? nullptr : &done};

    std::vector<std::unique_ptr<Searcher>> searchers;
    for (int t = 0; t < kThreads; ++t)
        searchers.push_back(
            std::make_unique<Searcher>(mesh, overlapCheck, settings.seed, t, stop, &done, bestPartCount, partsBefore));
    std::vector<std::thread> threads;
    for (int t = 1; t < kThreads; ++t)
        threads.emplace_back([&, t] { searchers[t]->run(settings.maxRounds); });
    searchers[0]->run(settings.maxRounds);
    for (std::thread& th : threads) th.join();

    const Searcher* best = searchers[0].get();
    for (const auto& s : searchers) {
        if (s->best() < best->best()) best = s.get();
        result.rounds += s->rounds();
    }
    result.folds = best->bestFolds();
    result.partCount = best->best();
    return result;
}

} // namespace nettor
