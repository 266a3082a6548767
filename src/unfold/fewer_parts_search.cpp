// How the search finds unfoldings with few parts.
//
// Growing one part at a time leaves the late parts with the leftovers. Here
// every face starts as a part of its own and whole parts are joined along
// their shared edges, best edge first, whenever the joined part stays free
// of overlap: Kruskal's algorithm on the faces' adjacency, with the overlap
// test as the condition for taking an edge. The test is the unfolding's own
// (facesOverlap with its tolerance), so the unfolding along the folds found
// accepts them; only its check of the fan diagonals of a non-convex face
// may refuse one, and that face then starts a part of its own. A join that
// fails once fails for good (parts only grow, and the faces of the two sides
// keep their relative positions), so one pass over the edges finishes a
// start.
//
// The search runs in rounds. The first round makes one start for each edge
// order (longest, length by flatness, flattest, across a random direction):
// the best greedy start, usually the longest edges first, is where both
// search chains go on from. Every later round makes a fixed number of local
// moves on each chain: a small part is broken into its faces together with a
// few leaf faces of its neighbours (taking a leaf keeps the neighbour a
// tree), and these faces are joined again across their edges in a randomly
// perturbed order. A move is kept when it leaves fewer parts, or as many
// parts with the faces gathered into larger ones (the sum of the square
// roots of the part sizes falls, or rises by little, as in simulated
// annealing); else the journal undoes it. Parts that shrink this way
// eventually vanish into their neighbours. A chain that finds nothing
// better for long starts again from the best order, perturbed.
//
// The two chains run on two threads in step: both finish a round before
// either begins the next, and the result is taken between rounds. Every
// random choice comes from the seed, and a round is the same work however
// long it takes, so the seed and the number of rounds fix the result. The
// search ends between rounds (at the round budget, the fewest parts
// possible, or after a long time without progress), or within one when the
// time is up or a cancel comes; that round then counts for nothing. So a
// search stopped by the clock after N whole rounds is repeated exactly by a
// budget of N.
#include "unfold/fewer_parts_search.h"

#include "unfold/cut_tree_layout.h"

#include <algorithm>
#include <barrier>
#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <numeric>
#include <thread>

namespace nettor {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChains = 2;
constexpr int kMovesPerRound = 64;
constexpr int kGiveUpStarts = 24; // the search ends after this many restarts' worth of moves without progress

// A small generator whose numbers are fixed by its seed on every platform
// (the standard distributions are not): splitmix64.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t state_;
};

std::uint64_t streamSeed(std::uint32_t seed, std::uint64_t stream)
{
    Random mix((static_cast<std::uint64_t>(seed) << 32) ^ stream);
    return mix.next();
}

// The base priority of every link under an edge order: 0 flattest, 1
// longest, 2 length by flatness (the unfolding's strategies), 3 across a
// random direction, drawn from the seed alone so that every chain sees the
// same.
std::vector<double> basePriorities(const CutTreeMesh& mesh, int rule, std::uint32_t seed)
{
    Random random(streamSeed(seed, 1000u + static_cast<unsigned>(rule)));
    Vec3 dir{1, 0, 0};
    if (rule == 3) {
        for (int tries = 0; tries < 64; ++tries) { // a direction uniform over the sphere
            const Vec3 d{2.0 * random.uniform() - 1.0, 2.0 * random.uniform() - 1.0, 2.0 * random.uniform() - 1.0};
            const double len = length(d);
            if (len > 1e-3 && len <= 1.0) {
                dir = d / len;
                break;
            }
        }
    }
    std::vector<double> base(mesh.links.size());
    for (std::size_t i = 0; i < mesh.links.size(); ++i) {
        const CutTreeMesh::Link& l = mesh.links[i];
        switch (rule) {
        case 0: base[i] = l.foldAngle; break;
        case 1: base[i] = l.length; break;
        case 2: base[i] = l.length * (l.foldAngle * 0.1 + 1.0); break;
        default: base[i] = 1.0 - std::fabs(dot(l.direction, dir)); break;
        }
    }
    return base;
}

// The edge orders of the first round, the one that usually leaves the
// fewest parts first: longest, length by flatness, flattest, across a random
// direction. (Random priorities alone never came close.)
constexpr int kStartRules[] = {1, 2, 0, 3};
constexpr int kStarts = static_cast<int>(std::size(kStartRules));

struct Start {
    int parts = INT_MAX;
    double spread = 0.0;
    int rank = kStarts; // in kStartRules
    int chain = 0;
    bool betterThan(const Start& o, int fewestPossible) const
    {
        if (parts != o.parts) return parts < o.parts;
        // Forests of the fewest parts possible are all alike: the first order wins.
        if (parts > fewestPossible && std::fabs(spread - o.spread) > 1e-9) return spread < o.spread;
        return rank < o.rank;
    }
};

// One search chain: a forest and the moves that improve it.
class Chain {
public:
    Chain(const CutTreeMesh& mesh, bool overlapCheck, std::uint32_t seed, int index)
        : mesh_(mesh), layout_(std::make_unique<CutTreeLayout>(mesh, overlapCheck)),
          spare_(std::make_unique<CutTreeLayout>(mesh, overlapCheck)),
          random_(streamSeed(seed, static_cast<unsigned>(index))), seed_(seed)
    {
        inRegion_.assign(mesh.faceCount(), 0);
        linkSeen_.assign(mesh.links.size(), 0);
    }

    // The first round: a start for each of the chain's edge orders, the
    // best of them kept. A start that leaves the fewest parts possible ends
    // the starts of later orders on both chains (finished tells the first
    // such order); so does a cancel, but never before the chain's first
    // start.
    Start makeStarts(int index, const std::atomic<bool>* cancel, std::atomic<int>& finished)
    {
        Start best;
        for (int rank = index; rank < kStarts; rank += kChains) {
            if (rank > finished.load()) break;
            if (rank != index && cancel && cancel->load()) break;
            std::swap(layout_, spare_);
            base_ = basePriorities(mesh_, kStartRules[rank], seed_);
            kruskal(0.0);
            const Start s{layout_->partCount(), layout_->spread(), rank, index};
            if (s.betterThan(best, mesh_.componentCount)) best = s;
            else std::swap(layout_, spare_);
            if (s.parts == mesh_.componentCount) {
                int seen = finished.load();
                while (seen > rank && !finished.compare_exchange_weak(seen, rank)) {
                }
                break;
            }
        }
        return best;
    }

    // Takes up the best start of all chains from the chain that made it,
    // which only waits meanwhile.
    void takeStart(const Start& start, const Chain& maker)
    {
        bestRule_ = kStartRules[start.rank];
        base_ = basePriorities(mesh_, bestRule_, seed_); // the moves perturb its order
        if (&maker != this) layout_->copyFrom(*maker.layout_);
        resetStale();
    }

    // A later round: a fixed number of moves, after a restart when the
    // chain has made no progress for long. Returns false when it gave up
    // the round half way because the time was up (deadline, when given) or
    // a cancel came: such a round counts for nothing.
    bool runRound(const Clock::time_point* deadline, const std::atomic<bool>* cancel)
    {
        if (staleMoves_ >= moveBudget()) {
            ++restarts_;
            base_ = basePriorities(mesh_, bestRule_, seed_);
            kruskal(0.05 * (1 + restarts_ % 6));
            resetStale();
        }
        for (int move = 0; move < kMovesPerRound; ++move) {
            if ((deadline && Clock::now() >= *deadline) || (cancel && cancel->load())) return false;
            if (layout_->partCount() == mesh_.componentCount) return true;
            if (sinceList_++ >= 16) {
                listSmallParts();
                sinceList_ = 0;
            }
            ++staleMoves_;
            if (small_.empty()) continue;
            const double u = random_.uniform();
            const int part = small_[static_cast<std::size_t>(u * u * static_cast<double>(small_.size()))];
            if (layout_->partSize(part) == 0) { // joined to another since the list was made
                sinceList_ = 16;
                continue;
            }
            tryMove(part);
            if (layout_->partCount() < chainBest_) {
                chainBest_ = layout_->partCount();
                staleMoves_ = 0;
            }
        }
        return true;
    }

    int partCount() const { return layout_->partCount(); }
    const std::vector<char>& folds() const { return layout_->folds(); }

private:
    // Moves without a better count after which the chain starts again.
    long moveBudget() const { return 40L * chainBest_ + 400; }

    void resetStale()
    {
        chainBest_ = layout_->partCount();
        staleMoves_ = 0;
        sinceList_ = 16;
    }

    // The links in descending order of their perturbed base priority.
    void orderLinks(std::vector<int>& links, double noise)
    {
        keys_.resize(mesh_.links.size());
        for (int l : links) keys_[l] = noise > 0.0 ? base_[l] * (1.0 + noise * (2.0 * random_.uniform() - 1.0)) : base_[l];
        std::stable_sort(links.begin(), links.end(), [&](int a, int b) { return keys_[a] > keys_[b]; });
    }

    void kruskal(double noise)
    {
        layout_->makeSingletons();
        links_.resize(mesh_.links.size());
        std::iota(links_.begin(), links_.end(), 0);
        orderLinks(links_, noise);
        for (int l : links_) layout_->tryJoin(l);
    }

    // Parts other than the largest, smallest first.
    void listSmallParts()
    {
        small_.clear();
        int largest = -1;
        for (int f = 0; f < mesh_.faceCount(); ++f) {
            const int p = layout_->partOf(f);
            if (layout_->partFaces(p).front() != f) continue; // each part once
            small_.push_back(p);
            if (largest < 0 || layout_->partSize(p) > layout_->partSize(largest)) largest = p;
        }
        small_.erase(std::remove(small_.begin(), small_.end(), largest), small_.end());
        std::stable_sort(small_.begin(), small_.end(),
                         [&](int a, int b) { return layout_->partSize(a) < layout_->partSize(b); });
    }

    bool tryMove(int part)
    {
        const int partsBefore = layout_->partCount();
        const double spreadBefore = layout_->spread();
        layout_->beginTrial();

        region_ = layout_->partFaces(part);
        for (int f : region_) inRegion_[f] = 1;
        layout_->dissolve(part);
        // Take a few leaves of the neighbouring trees along.
        int peel = static_cast<int>(random_.uniform() * (2.0 * static_cast<double>(region_.size()) + 6.0));
        for (std::size_t i = 0; i < region_.size() && peel > 0; ++i) {
            const int f = region_[i];
            for (int k = mesh_.linkStart[f]; k < mesh_.linkStart[f + 1] && peel > 0; ++k) {
                const CutTreeMesh::Link& l = mesh_.links[mesh_.faceLinks[k]];
                const int h = l.face[0] == f ? l.face[1] : l.face[0];
                if (inRegion_[h] || layout_->foldDegree(h) > 1 || random_.uniform() < 0.5) continue;
                layout_->detachLeaf(h);
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
        for (int l : links_) layout_->tryJoin(l);

        const int parts = layout_->partCount();
        const double rise = layout_->spread() - spreadBefore;
        const bool keep = parts < partsBefore ||
                          (parts == partsBefore && (rise <= 1e-9 || random_.uniform() < std::exp(-rise / 0.05)));
        if (keep) layout_->endTrial();
        else layout_->undoTrial();
        return keep;
    }

    const CutTreeMesh& mesh_;
    std::unique_ptr<CutTreeLayout> layout_; // the forest
    std::unique_ptr<CutTreeLayout> spare_;  // the first round's other start
    Random random_;
    std::uint32_t seed_;
    int bestRule_ = 0;   // the order of the best start of all chains
    int restarts_ = 0;
    int chainBest_ = INT_MAX;
    long staleMoves_ = 0;
    int sinceList_ = 16;
    std::vector<double> base_, keys_;
    std::vector<char> inRegion_, linkSeen_;
    std::vector<int> region_, links_, small_;
};

} // namespace

PartSearchResult searchFewerParts(const CutTreeMesh& mesh, const PartSearchSettings& settings,
                                  bool overlapCheck, const std::atomic<bool>* cancel,
                                  std::atomic<std::int32_t>* bestPartCount, int partsBefore)
{
    PartSearchResult result;
    if (mesh.faceCount() == 0) return result;
    const bool budgeted = settings.maxRounds > 0;
    const double limit = std::isfinite(settings.timeLimitSeconds) ? std::clamp(settings.timeLimitSeconds, 0.0, 1e9) : 1e9;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit));

    std::vector<std::unique_ptr<Chain>> chains;
    for (int c = 0; c < kChains; ++c) chains.push_back(std::make_unique<Chain>(mesh, overlapCheck, settings.seed, c));

    // Written by the barrier's completion while both chains wait, read by
    // both after it.
    Start starts[kChains];
    char gaveUp[kChains] = {};
    bool choosingStart = true;
    bool stop = false;
    long staleRounds = 0;
    result.partCount = INT_MAX;

    std::atomic<int> finishedRank{kStarts};

    auto betweenRounds = [&]() noexcept {
        if (choosingStart) { // the chains have made their starts: the best for both
            for (const Start& s : starts)
                if (s.betterThan(starts[0], mesh.componentCount)) starts[0] = s;
            choosingStart = false;
            if (starts[0].parts == mesh.componentCount) {
                // No need to go on; the chain that made this start has kept it.
                result.rounds = 1;
                result.partCount = starts[0].parts;
                result.folds = chains[starts[0].chain]->folds();
                if (bestPartCount) bestPartCount->store(result.partCount + partsBefore);
                stop = true;
            }
            return;
        }
        if (std::any_of(std::begin(gaveUp), std::end(gaveUp), [](char g) { return g != 0; })) {
            stop = true; // the search ends as it stood after the last whole round
            return;
        }
        ++result.rounds;
        bool better = false;
        for (const auto& chain : chains)
            if (chain->partCount() < result.partCount) {
                result.partCount = chain->partCount();
                result.folds = chain->folds();
                better = true;
            }
        staleRounds = better ? 0 : staleRounds + 1;
        if (better && bestPartCount) {
            const std::int32_t shown = result.partCount + partsBefore;
            std::int32_t seen = bestPartCount->load();
            while ((seen == 0 || seen > shown) && !bestPartCount->compare_exchange_weak(seen, shown)) {
            }
        }
        const long giveUp = kGiveUpStarts * (40L * result.partCount + 400) / kMovesPerRound;
        stop = result.partCount == mesh.componentCount || staleRounds > giveUp || (cancel && cancel->load()) ||
               (budgeted ? result.rounds >= settings.maxRounds : Clock::now() >= deadline);
    };
    std::barrier sync(kChains, betweenRounds);

    auto run = [&](int c) {
        Chain& chain = *chains[c];
        starts[c] = chain.makeStarts(c, cancel, finishedRank);
        sync.arrive_and_wait();
        if (stop) return;
        chain.takeStart(starts[0], *chains[starts[0].chain]);
        sync.arrive_and_wait(); // the first round ends
        while (!stop) {
            gaveUp[c] = !chain.runRound(budgeted ? nullptr : &deadline, cancel);
            sync.arrive_and_wait();
        }
    };
    std::vector<std::thread> threads;
    for (int c = 1; c < kChains; ++c) threads.emplace_back(run, c);
    run(0);
    for (std::thread& t : threads) t.join();
    return result;
}

std::string partSearchSummary(int rounds, std::uint32_t seed)
{
    return "The search for fewer parts made " + std::to_string(rounds) + (rounds == 1 ? " round" : " rounds") +
           " with seed " + std::to_string(seed) + ".";
}

} // namespace nettor
