#include "unfold/arrange_parts.h"

#include "model/mesh.h"
#include "unfold/box_grid.h"
#include "unfold/helper_thread.h"
#include "unfold/overlap.h"
#include "unfold/sheet_rows.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace nettor {

namespace {

constexpr double kInflation = 1.15;
constexpr double kPortrait = 1.414;

// Whether a corner of box a lies in box b, edges included: its corners are
// each of its two sides across with each of its two sides along.
bool cornerIn(const GridBox& a, const GridBox& b)
{
    auto within = [](double v, double lo, double hi) { return lo <= v && v <= hi; };
    return (within(a.minX, b.minX, b.maxX) || within(a.maxX, b.minX, b.maxX)) &&
           (within(a.minY, b.minY, b.maxY) || within(a.maxY, b.minY, b.maxY));
}

// The order of candidate positions: the least score, then the least y,
// then the least x.
bool betterPosition(double score, double y, double x, double bestScore, double by, double bx)
{
    return score < bestScore || (score == bestScore && y < by) || (score == bestScore && y == by && x < bx);
}

void measure(UnfoldedPart& part)
{
    part.minX = DBL_MAX;
    part.minY = DBL_MAX;
    part.maxX = -DBL_MAX;
    part.maxY = -DBL_MAX;
    for (const Face* f : part.faces) {
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            if (!h->point) continue;
            part.minX = std::min(part.minX, h->point->x);
            part.minY = std::min(part.minY, h->point->y);
            part.maxX = std::max(part.maxX, h->point->x);
            part.maxY = std::max(part.maxY, h->point->y);
        }
    }
    if (part.minX > part.maxX) part.minX = part.minY = part.maxX = part.maxY = 0.0; // no points
    part.width = (part.maxX - part.minX) * kInflation;
    part.height = (part.maxY - part.minY) * kInflation;
    part.offsetX = -part.minX;
    part.offsetY = -part.minY;
}

double sheetScore(double w, double h)
{
    return h / w >= kPortrait ? h * h * 0.7072135785007072 : w * w * kPortrait;
}

// The rectangle a placed part takes on the sheet.
GridBox placedBox(const UnfoldedPart& s)
{
    const double sx0 = s.minX + s.offsetX;
    const double sy0 = s.minY + s.offsetY;
    return {sx0, sy0, sx0 + s.width, sy0 + s.height};
}

// Would part r at (x, y) overlap the placed part whose rectangle is o?
bool overlaps(double x, double y, const UnfoldedPart& r, const GridBox& o)
{
    const double dx = 0.001 * r.width;
    const double dy = 0.001 * r.height;
    const GridBox t{x + dx, y + dy, x + dx + r.width, y + dy + r.height};
    if (cornerIn(o, t) || cornerIn(t, o)) return true;
    // Two boxes crossing like a plus sign have no corner inside each other.
    // This holds whether or not the overlap check of the parts is on.
    return segmentsIntersect({o.minX - dx, o.maxY - dy}, {o.maxX - dx, o.minY - dy}, {t.minX, t.minY},
                             {t.maxX, t.maxY}, 0.0);
}

// The placed parts' rectangles in grids of growing cell sizes, each
// rectangle in the finest grid where it spans few cells, so that a query
// meets only the parts near it whatever their sizes.
class PlacedRects {
public:
    explicit PlacedRects(double cellSize)
    {
        double cell = cellSize > 0.0 && std::isfinite(cellSize) ? cellSize : 1.0;
        for (int i = 0; i < kLevels; ++i, cell *= 8.0) {
            levels_.emplace_back(cell);
            cells_.push_back(cell);
        }
    }
    void add(std::size_t part, double x0, double y0, double x1, double y1)
    {
        std::size_t level = 0;
        while (level + 1 < levels_.size() && std::max(x1 - x0, y1 - y0) > 2.0 * cells_[level]) ++level;
        levels_[level].insert(static_cast<std::uint32_t>(part), {x0, y0, x1, y1});
    }
    // Calls visit(part) for every part whose rectangle meets the box (edges
    // included), until one returns true.
    template <class Visit>
    bool anyMeeting(double x0, double y0, double x1, double y1, Visit&& visit) const
    {
        for (const BoxGrid& level : levels_)
            if (!level.empty() && level.anyMeeting({x0, y0, x1, y1}, visit)) return true;
        return false;
    }

private:
    static constexpr int kLevels = 10;
    std::vector<BoxGrid> levels_;
    std::vector<double> cells_;
};

// Would part r at (x, y) overlap any of the first k parts in sorted order?
// The part that ruled out the previous position, and then the parts near
// this one, usually decide it, so they are tried first; the answer does not
// depend on the order.
bool blocked(double x, double y, const UnfoldedPart& r, const std::vector<UnfoldedPart*>& sorted,
             std::size_t k, const PlacedRects& placed, std::size_t& lastBlocker)
{
    if (lastBlocker < k && overlaps(x, y, r, placedBox(*sorted[lastBlocker]))) return true;
    const double dx = 0.001 * r.width;
    const double dy = 0.001 * r.height;
    if (placed.anyMeeting(x + dx, y + dy, x + dx + r.width, y + dy + r.height, [&](std::size_t j) {
            if (!overlaps(x, y, r, placedBox(*sorted[j]))) return false;
            lastBlocker = j;
            return true;
        }))
        return true;
    for (std::size_t j = 0; j < k; ++j)
        if (overlaps(x, y, r, placedBox(*sorted[j]))) {
            lastBlocker = j;
            return true;
        }
    return false;
}

// The position the walk over every candidate position would choose: the
// free one of least score, then least y, then least x. The score only grows
// with x and with y, within each of its two forms (width-bound and
// height-bound), so for each y only the first free x of each form can win,
// and a y whose least score is beyond the best so far ends the search.
// Blocked positions are passed over a run at a time: a corner of the
// blocking part inside the candidate rectangle, or the reverse, stays
// inside while the rectangle moves right until a bound is crossed.
class OrderedSearch {
public:
    OrderedSearch(const UnfoldedPart& r, const std::vector<GridBox>& boxes, std::size_t k,
                  const PlacedRects& sheet, const std::vector<double>& xs)
        : r_(r), boxes_(boxes), k_(k), sheet_(sheet), xs_(xs), dx_(0.001 * r.width), dy_(0.001 * r.height)
    {
    }

    // The placed part that rules out (x, y), or k when none does.
    std::size_t blocker(double x, double y)
    {
        const double tx0 = x + dx_, ty0 = y + dy_;
        const double tx1 = tx0 + r_.width, ty1 = ty0 + r_.height;
        const double m = 1e-9 * (1.0 + std::fabs(tx1) + std::fabs(ty1));
        if (last_ < k_ && overlaps(x, y, r_, boxes_[last_])) return last_;
        const double qx0 = tx0 - dx_ - m, qy0 = ty0 - dy_ - m, qx1 = tx1 + dx_ + m, qy1 = ty1 + dy_ + m;
        std::size_t found = k_;
        // A part that overlaps the rectangle meets this box.
        sheet_.anyMeeting(qx0, qy0, qx1, qy1, [&](std::size_t j) {
            if (j >= k_) return false;
            if (!overlaps(x, y, r_, boxes_[j])) return false;
            found = j;
            return true;
        });
        if (found != k_) last_ = found;
        return found;
    }

    // The first index after i where holds fails, for a test that holds at
    // xs[i] and, once it fails, fails at every later position: found by
    // galloping, as runs are mostly short.
    template <class Holds>
    std::size_t runEnd(std::size_t i, Holds holds) const
    {
        const std::size_t n = xs_.size();
        std::size_t lo = i + 1, step = 1;
        while (lo < n && holds(xs_[lo])) {
            const std::size_t next = lo + step;
            if (next >= n || !holds(xs_[next])) {
                // The test fails first in (lo, min(next, n)].
                std::size_t hi = std::min(next, n);
                ++lo;
                while (lo < hi) {
                    const std::size_t mid = lo + (hi - lo) / 2;
                    if (holds(xs_[mid]))
                        lo = mid + 1;
                    else
                        hi = mid;
                }
                return lo;
            }
            lo = next;
            step *= 2;
        }
        return lo;
    }

    // The index after the run of positions from xs[i] on (at height y)
    // that part s rules out by a corner test that holds at xs[i].
    std::size_t skip(std::size_t i, double y, const GridBox& s) const
    {
        const double ty0 = y + dy_, ty1 = ty0 + r_.height;
        const double sx0 = s.minX, sy0 = s.minY;
        const double sx1 = s.maxX, sy1 = s.maxY;
        const double x = xs_[i];
        const double tx0 = x + dx_, tx1 = tx0 + r_.width;
        // Each test below holds at xs[i] and, as positions only grow, holds
        // up to some index and never after; of the tests of one form the one
        // with the largest bound holds longest.
        bool anyLeft = false, anyRight = false;
        double leftBound = 0.0, rightBound = 0.0;
        auto byLeftSide = [&](double bound) {
            leftBound = anyLeft ? std::max(leftBound, bound) : bound;
            anyLeft = true;
        };
        const double sxs[2] = {sx0, sx1}, sys[2] = {sy0, sy1};
        // A corner of s inside the rectangle stays inside while the
        // rectangle's left side has not passed it.
        for (double cx : sxs)
            for (double cy : sys)
                if (tx0 <= cx && cx <= tx1 && ty0 <= cy && cy <= ty1) byLeftSide(cx);
        // A corner of the rectangle inside s stays inside until it passes
        // s's right side.
        for (double cy : {ty0, ty1}) {
            if (!(sy0 <= cy && cy <= sy1)) continue;
            if (sx0 <= tx0 && tx0 <= sx1) byLeftSide(sx1);
            if (sx0 <= tx1 && tx1 <= sx1) {
                rightBound = sx1;
                anyRight = true;
            }
        }
        std::size_t end = i + 1;
        if (anyLeft) end = std::max(end, runEnd(i, [&](double v) { return v + dx_ <= leftBound; }));
        if (anyRight) end = std::max(end, runEnd(i, [&](double v) { return v + dx_ + r_.width <= rightBound; }));
        return end;
    }

    // The first free position among xs[from, to) at height y that is
    // better than (best, by, bx) with the given score, advancing while
    // positions can still be better; xs.size() when there is none.
    template <class ScoreOf>
    std::size_t firstFree(std::size_t from, std::size_t to, double y, ScoreOf scoreOf, double best, double by,
                          double bx, bool& stopped)
    {
        std::size_t i = from;
        while (i < to) {
            const double x = xs_[i];
            const double score = scoreOf(x);
            if (!betterPosition(score, y, x, best, by, bx)) {
                stopped = true;
                return xs_.size();
            }
            const std::size_t j = blocker(x, y);
            if (j == k_) return i;
            i = skip(i, y, boxes_[j]);
        }
        return xs_.size();
    }

private:
    const UnfoldedPart& r_;
    const std::vector<GridBox>& boxes_; // the placed parts' rectangles, in sorted order
    std::size_t k_;
    const PlacedRects& sheet_;
    const std::vector<double>& xs_;
    double dx_, dy_;
    std::size_t last_ = 0;
};

// The best position two searches on two threads have found between them.
struct SharedBest {
    std::mutex mutex;
    std::atomic<std::uint32_t> version{0}; // counts the changes
    bool placed = false;
    double score = DBL_MAX, x = 0.0, y = 0.0;
};

// The best position a search has found so far. With a partner search on
// another thread each takes up what the other found, row by row, so that
// neither searches rows the other has made hopeless; what each finds is
// offered to both, so the better of the two is what either would take.
class BestPosition {
public:
    explicit BestPosition(SharedBest* shared = nullptr) : shared_(shared) {}

    bool placed = false;
    double score = DBL_MAX, x = 0.0, y = 0.0;

    void takeUpShared()
    {
        if (!shared_ || shared_->version.load(std::memory_order_acquire) == seen_) return;
        std::lock_guard lock(shared_->mutex);
        seen_ = shared_->version.load(std::memory_order_relaxed);
        if (shared_->placed && (!placed || betterPosition(shared_->score, shared_->y, shared_->x, score, y, x))) {
            placed = true;
            score = shared_->score;
            x = shared_->x;
            y = shared_->y;
        }
    }
    void found(double foundScore, double foundX, double foundY)
    {
        placed = true;
        score = foundScore;
        x = foundX;
        y = foundY;
        if (!shared_) return;
        std::lock_guard lock(shared_->mutex);
        if (shared_->placed && !betterPosition(score, y, x, shared_->score, shared_->y, shared_->x)) return;
        shared_->placed = true;
        shared_->score = score;
        shared_->x = x;
        shared_->y = y;
        shared_->version.fetch_add(1, std::memory_order_release);
    }

private:
    SharedBest* shared_;
    std::uint32_t seen_ = 0;
};

// The rows of the sheet, handed out a run at a time to one search or to two
// on two threads: each takes the next run once it is done with its own, so
// that a search whose thread the machine keeps waiting leaves its share to
// the other instead of holding it up.
class RowRuns {
public:
    RowRuns(std::size_t rows, std::size_t run) : rows_(rows), run_(run) {}

    // One search's place in the rows: the run it has taken.
    struct Cursor {
        std::size_t row = 0, last = 0;
    };
    // The search's next row, from the bottom up; false when none is left.
    bool next(Cursor& at, std::size_t& row)
    {
        if (at.row == at.last) {
            at.row = next_.fetch_add(run_, std::memory_order_relaxed);
            if (at.row >= rows_) return false;
            at.last = std::min(rows_, at.row + run_);
        }
        row = at.row++;
        return true;
    }
    // No row above the one a search has reached can hold a better place:
    // none is handed out any more.
    void stop() { next_.store(rows_, std::memory_order_relaxed); }
    // Nor can any row below `row` that has not been handed out yet.
    void passOver(Cursor& at, std::size_t row)
    {
        at.row = std::max(at.row, std::min(at.last, row));
        std::size_t next = next_.load(std::memory_order_relaxed);
        while (next < row && !next_.compare_exchange_weak(next, row, std::memory_order_relaxed)) {
        }
    }

private:
    std::size_t rows_, run_;
    std::atomic<std::size_t> next_{0};
};

// The search over the rows handed out by runs: the best of their
// positions, as the search over all rows would choose among them.
void searchInOrder(const UnfoldedPart& r, const std::vector<GridBox>& boxes, std::size_t k,
                   const PlacedRects& sheet, const std::vector<double>& xs, const SheetRows& rows, double sheetW,
                   double sheetH, BestPosition& best, RowRuns& runs, SheetRows::Scratch& scratch)
{
    OrderedSearch search(r, boxes, k, sheet, xs);
    const std::size_t n = xs.size();
    const double dx = 0.001 * r.width;
    const std::vector<double>& ys = rows.ys();
    std::vector<std::pair<double, double>> openings;
    // The first position from `start` on whose left side lies right of v
    // (or at v), found by galloping: the openings come left to right.
    auto leftSideBeyond = [&](double v, bool orAt, std::size_t start) {
        auto before = [&](double x) { return orAt ? x + dx < v : !(x + dx > v); };
        if (start >= n || !before(xs[start])) return start;
        std::size_t lo = start, step = 1, hi = start + 1;
        while (hi < n && before(xs[hi])) {
            lo = hi;
            step *= 2;
            hi = lo + step;
        }
        hi = std::min(hi, n);
        return static_cast<std::size_t>(
            std::partition_point(xs.begin() + static_cast<std::ptrdiff_t>(lo) + 1,
                                 xs.begin() + static_cast<std::ptrdiff_t>(hi), before) -
            xs.begin());
    };
    std::vector<std::pair<std::size_t, std::size_t>> ranges; // the openings' positions
    double lastH = -DBL_MAX;
    std::size_t b = 0;
    // Rows whose part would stay within the sheet's height: the same least
    // score in every one of them.
    const std::size_t firstTall = static_cast<std::size_t>(
        std::partition_point(ys.begin(), ys.end(), [&](double y) { return !(y + r.height > sheetH); }) - ys.begin());
    RowRuns::Cursor at;
    for (std::size_t row = 0; runs.next(at, row);) {
        const double y = ys[row];
        best.takeUpShared();
        const double h = std::max(sheetH, y + r.height);
        auto widthAt = [&](double x) { return std::max(sheetW, x + r.width); };
        auto scoreOf = [&](double x) { return sheetScore(widthAt(x), h); };
        // Positions from b on are width-bound; b only moves with h.
        if (h != lastH) {
            std::size_t lo = 0, hi = n;
            while (lo < hi) {
                const std::size_t mid = lo + (hi - lo) / 2;
                if (h / widthAt(xs[mid]) >= kPortrait)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            b = lo;
            lastH = h;
        }
        double least = DBL_MAX;
        if (b > 0) least = std::min(least, scoreOf(xs[0]));
        if (b < n) least = std::min(least, scoreOf(xs[b]));
        // Scores grow with y (up to rounding): nothing further up can win.
        if (best.placed && least > best.score * (1.0 + 1e-12)) {
            runs.stop();
            break;
        }
        // Above the best position only a lower score wins.
        if (best.placed && y > best.y && least >= best.score) {
            // Nor above it, while the least score stays the same: a best
            // taken up meanwhile only rules out more. Rows not handed out
            // yet lie above it too.
            if (h == sheetH) runs.passOver(at, firstTall);
            continue;
        }
        // Only the row's openings can hold a free position. A position in
        // an opening lies right of its left end less the lift along x, so
        // an opening whose score there is worse than the best holds nothing
        // better, and nor do the openings right of it.
        rows.openings(row, r.width, r.height, 0.001 * r.height, openings, scratch);
        auto worseFrom = [&](double left) {
            return scoreOf(left - 2.0 * dx - std::fabs(left) * 1e-12) > best.score;
        };
        // Trimming an opening only moves its left end right, so the openings
        // left out here (mostly the one open to the right, which reaches
        // past every block above) would hold nothing better either.
        openings.erase(std::find_if(openings.begin(), openings.end(),
                                    [&](const std::pair<double, double>& o) { return worseFrom(o.first); }),
                       openings.end());
        if (openings.empty()) continue;
        // Nor can a position whose upper corners lie in a placed part.
        rows.trimByUpperCorners(row, r.width, r.height, 0.001 * r.height, openings, scratch);
        if (openings.empty() || worseFrom(openings.front().first)) continue;
        // The openings' positions, found as far as they are needed.
        ranges.clear();
        auto rangeOf = [&](std::size_t o) {
            while (ranges.size() <= o) {
                const auto& [left, right] = openings[ranges.size()];
                const std::size_t first = leftSideBeyond(left, false, ranges.empty() ? 0 : ranges.back().second);
                ranges.emplace_back(first, right == DBL_MAX ? n : leftSideBeyond(right, true, first));
            }
            return ranges[o];
        };
        for (const auto& [from, to] : {std::pair<std::size_t, std::size_t>{0, b}, {b, n}}) {
            std::size_t i = n;
            for (std::size_t o = 0; o < openings.size(); ++o) {
                if (worseFrom(openings[o].first)) break;
                const auto [begin, end] = rangeOf(o);
                const std::size_t first = std::max(from, begin);
                const std::size_t last = std::min(to, end);
                if (first >= last) continue;
                bool stopped = false;
                i = search.firstFree(first, last, y, scoreOf, best.score, best.y, best.x, stopped);
                if (i < last || stopped) break;
                i = n;
            }
            if (i >= n) continue;
            best.found(scoreOf(xs[i]), xs[i], y);
        }
    }
}

// With this many rows a second thread shares the search, taking runs of
// rows as the caller does: the two best positions, compared as the search
// compares positions, give the position the search of all rows gives.
constexpr std::size_t kRowsForTwoThreads = 64;
constexpr std::size_t kRowsARun = 16;

// Where the search over every row puts part r (unplaced when nowhere); the
// helper is made the first time the rows are many.
BestPosition searchRows(const UnfoldedPart& r, const std::vector<GridBox>& boxes, std::size_t k,
                        const PlacedRects& sheet, const std::vector<double>& xs, const SheetRows& rows,
                        double sheetW, double sheetH, bool twoCores, std::optional<HelperThread>& helper,
                        SheetRows::Scratch (&scratch)[2])
{
    BestPosition best;
    if (rows.ys().size() < kRowsForTwoThreads || !twoCores) {
        RowRuns all(rows.ys().size(), rows.ys().size());
        searchInOrder(r, boxes, k, sheet, xs, rows, sheetW, sheetH, best, all, scratch[0]);
        return best;
    }
    if (!helper) helper.emplace();
    SharedBest shared;
    BestPosition mine(&shared), theirs(&shared);
    RowRuns runs(rows.ys().size(), kRowsARun);
    helper->post([&] { searchInOrder(r, boxes, k, sheet, xs, rows, sheetW, sheetH, theirs, runs, scratch[1]); });
    searchInOrder(r, boxes, k, sheet, xs, rows, sheetW, sheetH, mine, runs, scratch[0]);
    // A helper that has not begun by now finds nothing left: it need not run.
    if (!helper->withdraw()) helper->wait();
    best.placed = shared.placed;
    best.score = shared.score;
    best.x = shared.x;
    best.y = shared.y;
    return best;
}

} // namespace

void arrangeParts(Model& model)
{
    std::vector<UnfoldedPart*> remaining;
    for (auto& part : model.parts) {
        measure(*part);
        remaining.push_back(part.get());
    }

    // Largest area first; among equal areas the earlier part.
    const bool regular = std::all_of(remaining.begin(), remaining.end(), [](const UnfoldedPart* p) {
        return std::isfinite(p->width) && std::isfinite(p->height) && p->width > 0.0 && p->height > 0.0 &&
               std::isfinite(p->width * p->height);
    });
    std::vector<UnfoldedPart*> sorted;
    if (regular) {
        sorted = remaining;
        std::stable_sort(sorted.begin(), sorted.end(), [](const UnfoldedPart* a, const UnfoldedPart* b) {
            return a->width * a->height > b->width * b->height;
        });
        remaining.clear();
    }
    while (!remaining.empty()) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < remaining.size(); ++i) {
            if (remaining[i]->width * remaining[i]->height >
                remaining[best]->width * remaining[best]->height)
                best = i;
        }
        sorted.push_back(remaining[best]);
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(best));
    }

    // Cells about as large as a typical part.
    double sizeSum = 0.0;
    for (const UnfoldedPart* part : sorted) sizeSum += std::max(part->width, part->height);
    const double cellSize = sorted.empty() ? 0.0 : sizeSum / static_cast<double>(sorted.size());
    PlacedRects rects(cellSize);

    std::vector<double> xs{0.0}, ys{0.0};
    // The same x positions in ascending order for the ordered search, and
    // its rows: the y positions without repeats.
    std::vector<double> sortedXs{0.0};
    SheetRows rows;
    rows.addRow(0.0);
    std::vector<GridBox> boxes; // the placed parts' rectangles, in sorted order
    boxes.reserve(sorted.size());
    double sheetW = 0.0, sheetH = 0.0;
    double farX = 0.0; // right of every placed box: always free
    SheetRows::Scratch scratch[2]; // the caller's and the helper's
    std::optional<HelperThread> helper;
    // Asked once: the system reads it from a file at every asking.
    const bool twoCores = std::thread::hardware_concurrency() >= 2;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        UnfoldedPart& r = *sorted[k];
        double bestScore = DBL_MAX, bx = 0.0, by = 0.0;
        bool placed = false;
        if (regular) {
            const BestPosition best =
                searchRows(r, boxes, k, rects, sortedXs, rows, sheetW, sheetH, twoCores, helper, scratch);
            placed = best.placed;
            bestScore = best.score;
            bx = best.x;
            by = best.y;
        } else {
            std::size_t lastBlocker = 0;
            for (double y : ys) {
                for (double x : xs) {
                    const double score =
                        sheetScore(std::max(sheetW, x + r.width), std::max(sheetH, y + r.height));
                    if (!betterPosition(score, y, x, bestScore, by, bx)) continue;
                    if (blocked(x, y, r, sorted, k, rects, lastBlocker)) continue;
                    bestScore = score;
                    bx = x;
                    by = y;
                    placed = true;
                }
            }
        }
        // Scores beyond the largest double are never taken; such a part goes
        // right of everything rather than on top of another.
        if (!placed && k > 0) {
            bx = farX;
            by = 0.0;
        }
        r.offsetX = bx - r.minX;
        r.offsetY = by - r.minY;
        const double x0 = r.minX + r.offsetX, y0 = r.minY + r.offsetY;
        boxes.push_back({x0, y0, x0 + r.width, y0 + r.height});
        rects.add(k, x0, y0, x0 + r.width, y0 + r.height);
        xs.push_back(bx + r.width);
        ys.push_back(by + r.height);
        if (regular) {
            sortedXs.insert(std::upper_bound(sortedXs.begin(), sortedXs.end(), bx + r.width), bx + r.width);
            // A rectangle that crosses many rows joins them on both threads.
            const GridBox placed{x0, y0, x0 + r.width, y0 + r.height};
            const auto [from, to] = rows.recordRectangle(placed);
            if (helper && to - from >= kRowsForTwoThreads) {
                const std::size_t middle = from + (to - from) / 2;
                helper->post([&rows, &placed, middle, to = to] { rows.joinRows(placed, middle, to); });
                rows.joinRows(placed, from, middle);
                helper->wait();
            } else {
                rows.joinRows(placed, from, to);
            }
            rows.addRow(by + r.height);
        }
        sheetW = std::max(sheetW, bx + r.width);
        sheetH = std::max(sheetH, by + r.height);
        farX = std::max(farX, bx + r.width);
    }

    model.sheetWidth = sheetW;
    model.sheetHeight = sheetH;
}

} // namespace nettor
