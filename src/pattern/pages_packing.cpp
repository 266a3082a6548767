#include "pattern/pages_packing.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <span>

namespace nettor {

namespace {

// A cell counts as touched when a shape comes within this of it, so that
// rounding never lets a shape leave the cells that stand for it.
constexpr double kRasterSlackMm = 1e-6;
// Pages further back than this are no longer offered room.
constexpr std::size_t kOpenPages = 12;
// Up to this many pieces are packed with more turns and in several orders.
constexpr std::size_t kThoroughItems = 400;

} // namespace

CellMask::CellMask(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), words_((width_ + 63) / 64 + 1),
      bits_(static_cast<std::size_t>(words_) * static_cast<std::size_t>(height_), 0)
{
}

bool CellMask::get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return (row(y)[x >> 6] >> (x & 63)) & 1u;
}

void CellMask::set(int x, int y)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    row(y)[x >> 6] |= std::uint64_t{1} << (x & 63);
}

void CellMask::setRun(int y, int x0, int x1)
{
    if (y < 0 || y >= height_) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_ - 1);
    if (x0 > x1) return;
    std::uint64_t* r = row(y);
    const int w0 = x0 >> 6, w1 = x1 >> 6;
    const std::uint64_t first = ~std::uint64_t{0} << (x0 & 63);
    const std::uint64_t last = ~std::uint64_t{0} >> (63 - (x1 & 63));
    if (w0 == w1) {
        r[w0] |= first & last;
        return;
    }
    r[w0] |= first;
    for (int w = w0 + 1; w < w1; ++w) r[w] = ~std::uint64_t{0};
    r[w1] |= last;
}

int CellMask::count() const
{
    int n = 0;
    for (std::uint64_t w : bits_) n += std::popcount(w);
    return n;
}

CellMask CellMask::grown(int cells) const
{
    CellMask across(width_ + 2 * cells, height_);
    for (int y = 0; y < height_; ++y) forEachRun(y, [&](int x0, int x1) { across.setRun(y, x0, x1 + 2 * cells); });
    CellMask out(width_ + 2 * cells, height_ + 2 * cells);
    for (int y = 0; y < height_; ++y) {
        const std::uint64_t* source = across.row(y);
        for (int k = 0; k <= 2 * cells; ++k) {
            std::uint64_t* target = out.row(y + k);
            for (int w = 0; w < out.words_; ++w) target[w] |= source[w];
        }
    }
    return out;
}

void CellMask::merge(const CellMask& other, int x, int y)
{
    const int shift = x & 63, base = x >> 6;
    for (int i = 0; i < other.height_; ++i) {
        const int ty = y + i;
        if (ty < 0 || ty >= height_) continue;
        const std::uint64_t* source = other.row(i);
        std::uint64_t* target = row(ty);
        for (int j = 0; j < other.words_; ++j) {
            const std::uint64_t w = source[j];
            if (!w) continue;
            const int at = base + j;
            if (at < words_) target[at] |= w << shift;
            if (shift && at + 1 < words_) target[at + 1] |= w >> (64 - shift);
        }
    }
}

int CellMask::lastSetIn(int y, int x0, int x1) const
{
    if (y < 0 || y >= height_) return -1;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_ - 1);
    if (x0 > x1) return -1;
    const std::uint64_t* r = row(y);
    const int w0 = x0 >> 6, w1 = x1 >> 6;
    for (int w = w1; w >= w0; --w) {
        std::uint64_t bits = r[w];
        if (w == w1 && (x1 & 63) != 63) bits &= (std::uint64_t{1} << ((x1 & 63) + 1)) - 1;
        if (w == w0) bits &= ~std::uint64_t{0} << (x0 & 63);
        if (bits) return w * 64 + 63 - std::countl_zero(bits);
    }
    return -1;
}

int CellMask::nextSet(int y, int x) const
{
    if (y < 0 || y >= height_ || x >= width_) return width_;
    x = std::max(x, 0);
    const std::uint64_t* r = row(y);
    int w = x >> 6;
    std::uint64_t bits = r[w] & (~std::uint64_t{0} << (x & 63));
    while (!bits) {
        if (++w * 64 >= width_) return width_;
        bits = r[w];
    }
    return std::min(width_, w * 64 + std::countr_zero(bits));
}

int CellMask::nextClear(int y, int x) const
{
    if (y < 0 || y >= height_ || x >= width_) return width_;
    x = std::max(x, 0);
    const std::uint64_t* r = row(y);
    int w = x >> 6;
    std::uint64_t bits = ~r[w] & (~std::uint64_t{0} << (x & 63));
    while (!bits) {
        if (++w * 64 >= width_) return width_;
        bits = ~r[w];
    }
    return std::min(width_, w * 64 + std::countr_zero(bits));
}

int CellMask::longestClearRun(int y) const
{
    if (y < 0 || y >= height_) return 0;
    const std::uint64_t* r = row(y);
    int best = 0, run = 0;
    for (int w = 0; w * 64 < width_; ++w) {
        const int bits = std::min(64, width_ - w * 64);
        const std::uint64_t word = r[w];
        if (word == 0) {
            run += bits;
            continue;
        }
        for (int b = 0; b < bits; ++b) {
            if ((word >> b) & 1u) {
                best = std::max(best, run);
                run = 0;
            } else {
                ++run;
            }
        }
    }
    return std::max(best, run);
}

namespace {

// A piece's cells as runs per row, with the rows in the order they are
// tested: spread over the piece first, so that a taken place is found early.
struct RowRuns {
    std::vector<std::vector<std::pair<int, int>>> runs;
    std::vector<int> order;
    std::vector<int> longest; // the longest run of each row

    explicit RowRuns(const CellMask& mask)
        : runs(static_cast<std::size_t>(mask.height())), longest(static_cast<std::size_t>(mask.height()), 0)
    {
        for (int y = 0; y < mask.height(); ++y) {
            mask.forEachRun(y, [&](int x0, int x1) {
                runs[static_cast<std::size_t>(y)].emplace_back(x0, x1);
                longest[static_cast<std::size_t>(y)] = std::max(longest[static_cast<std::size_t>(y)], x1 - x0 + 1);
            });
        }
        std::vector<char> taken(runs.size(), 0);
        int step = 1;
        while (step * 2 < mask.height()) step *= 2;
        for (; step >= 1; step /= 2)
            for (int y = 0; y < mask.height(); y += step)
                if (!taken[static_cast<std::size_t>(y)]) {
                    taken[static_cast<std::size_t>(y)] = 1;
                    if (!runs[static_cast<std::size_t>(y)].empty()) order.push_back(y);
                }
        for (const int row : order)
            for (const auto& [a, b] : runs[static_cast<std::size_t>(row)]) {
                const int length = b - a + 1;
                const int level = std::bit_width(static_cast<unsigned>(length)) - 1;
                flat.push_back({row, a, a + length - (1 << level), level});
            }
    }

    // A run of cells: its row, its first cell, the first cell of the last
    // 2^level cells, and the level.
    struct Run {
        int row, first, tail, level;
    };
    std::vector<Run> flat; // in the order of the rows tested

    // Whether some row of the piece is longer than any clear run of the
    // page row it would lie on, with its top row on row y.
    bool rowsTooLong(const std::vector<int>& clearRuns, int y) const
    {
        for (const int row : order)
            if (clearRuns[static_cast<std::size_t>(y + row)] < longest[static_cast<std::size_t>(row)]) return true;
        return false;
    }
};


// Where runs of free cells start on each row of a page, by powers of two:
// bit x of level k of a row is set when its cells x to x + 2^k - 1 are all
// free. A piece's run of length L starting at a fits at x when level k
// (2^k <= L) is set at x + a and at x + a + L - 2^k.
class FreeRuns {
public:
    FreeRuns() = default;
    explicit FreeRuns(const CellMask& taken)
        : width_(taken.width()), words_((taken.width() + 63) / 64),
          levels_(std::bit_width(static_cast<unsigned>(std::max(taken.width(), 1)))),
          bits_(static_cast<std::size_t>(taken.height()) * static_cast<std::size_t>(levels_ * words_))
    {
        for (int y = 0; y < taken.height(); ++y) update(taken, y);
    }
    bool empty() const { return bits_.empty(); }
    int words() const { return words_; }
    const std::uint64_t* at(int y, int level) const
    {
        return bits_.data() + (static_cast<std::size_t>(y) * levels_ + level) * words_;
    }
    void update(const CellMask& taken, int y)
    {
        std::uint64_t* level0 = row(y, 0);
        const std::uint64_t* t = taken.rowWords(y);
        for (int w = 0; w < words_; ++w) level0[w] = ~t[w];
        if (width_ & 63) level0[words_ - 1] &= (std::uint64_t{1} << (width_ & 63)) - 1;
        for (int k = 1; k < levels_; ++k) {
            std::uint64_t* current = row(y, k);
            const std::uint64_t* previous = row(y, k - 1);
            std::copy(previous, previous + words_, current);
            andShifted(current, previous, 1 << (k - 1), words_);
        }
    }
    // dst &= src moved down by s cells: bit x of dst meets bit x + s of src.
    static void andShifted(std::uint64_t* dst, const std::uint64_t* src, int s, int words)
    {
        const int ws = s >> 6, bs = s & 63;
        for (int w = 0; w < words; ++w) {
            const int i = w + ws;
            std::uint64_t v = i < words ? src[i] >> bs : 0;
            if (bs && i + 1 < words) v |= src[i + 1] << (64 - bs);
            dst[w] &= v;
        }
    }

private:
    std::uint64_t* row(int y, int level) { return bits_.data() + (static_cast<std::size_t>(y) * levels_ + level) * words_; }
    int width_ = 0, words_ = 0, levels_ = 0;
    std::vector<std::uint64_t> bits_;
};

// The leftmost x in x0..x1 where the piece fits with its top row on row y
// of the page, or -1. All places of the row are tested at once, a word of
// places at a time.
int leftmostFit(const FreeRuns& free, const RowRuns& runs, int y, int x0, int x1, std::vector<std::uint64_t>& places)
{
    const int words = free.words();
    places.assign(static_cast<std::size_t>(words), 0);
    for (int w = x0 >> 6; w <= (x1 >> 6) && w < words; ++w) {
        std::uint64_t bits = ~std::uint64_t{0};
        if (w == (x0 >> 6)) bits &= ~std::uint64_t{0} << (x0 & 63);
        if (w == (x1 >> 6) && (x1 & 63) != 63) bits &= (std::uint64_t{1} << ((x1 & 63) + 1)) - 1;
        places[static_cast<std::size_t>(w)] = bits;
    }
    std::uint64_t* p = places.data();
    for (const RowRuns::Run& run : runs.flat) {
        const std::uint64_t* level = free.at(y + run.row, run.level);
        FreeRuns::andShifted(p, level, run.first, words);
        if (run.tail != run.first) FreeRuns::andShifted(p, level, run.tail, words);
        std::uint64_t any = 0;
        for (int w = 0; w < words; ++w) any |= p[w];
        if (!any) return -1;
    }
    for (int w = 0; w < words; ++w)
        if (p[w]) return w * 64 + std::countr_zero(p[w]);
    return -1;
}

} // namespace

Raster rasterize(const std::vector<std::vector<MmPoint>>& polygons, double degrees, double cellMm)
{
    // All turned corners in one buffer, each shape from its start on.
    std::vector<MmPoint> corners;
    std::vector<std::size_t> starts;
    starts.reserve(polygons.size() + 1);
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    const Turn by(degrees);
    for (const auto& polygon : polygons) {
        starts.push_back(corners.size());
        for (const MmPoint& p : polygon) {
            const MmPoint q = by(p);
            x0 = std::min(x0, q.x);
            y0 = std::min(y0, q.y);
            x1 = std::max(x1, q.x);
            y1 = std::max(y1, q.y);
            corners.push_back(q);
        }
    }
    starts.push_back(corners.size());
    Raster raster;
    if (x0 > x1) return raster;
    const double c = cellMm;
    const int cx0 = static_cast<int>(std::floor((x0 - kRasterSlackMm) / c));
    const int cy0 = static_cast<int>(std::floor((y0 - kRasterSlackMm) / c));
    const int cx1 = static_cast<int>(std::floor((x1 + kRasterSlackMm) / c));
    const int cy1 = static_cast<int>(std::floor((y1 + kRasterSlackMm) / c));
    raster.origin = {cx0 * c, cy0 * c};
    raster.mask = CellMask(cx1 - cx0 + 1, cy1 - cy0 + 1);

    std::vector<double> lo, hi;
    for (std::size_t shape = 0; shape + 1 < starts.size(); ++shape) {
        const std::span<const MmPoint> polygon(corners.data() + starts[shape], starts[shape + 1] - starts[shape]);
        if (polygon.empty()) continue;
        double py0 = 1e300, py1 = -1e300;
        for (const MmPoint& p : polygon) {
            py0 = std::min(py0, p.y);
            py1 = std::max(py1, p.y);
        }
        const int r0 = static_cast<int>(std::floor((py0 - kRasterSlackMm) / c));
        const int r1 = static_cast<int>(std::floor((py1 + kRasterSlackMm) / c));
        lo.assign(static_cast<std::size_t>(r1 - r0 + 1), 1e300);
        hi.assign(static_cast<std::size_t>(r1 - r0 + 1), -1e300);
        // Each row takes the x extent of the polygon's edges within its
        // band, which is the extent of the polygon within the band.
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const MmPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const double ey0 = std::min(a.y, b.y), ey1 = std::max(a.y, b.y);
            const int e0 = static_cast<int>(std::floor((ey0 - kRasterSlackMm) / c));
            const int e1 = static_cast<int>(std::floor((ey1 + kRasterSlackMm) / c));
            for (int r = e0; r <= e1; ++r) {
                const double band0 = r * c - kRasterSlackMm, band1 = (r + 1) * c + kRasterSlackMm;
                double xa, xb;
                if (b.y == a.y) {
                    xa = a.x;
                    xb = b.x;
                } else {
                    const double t0 = std::clamp((band0 - a.y) / (b.y - a.y), 0.0, 1.0);
                    const double t1 = std::clamp((band1 - a.y) / (b.y - a.y), 0.0, 1.0);
                    xa = a.x + t0 * (b.x - a.x);
                    xb = a.x + t1 * (b.x - a.x);
                }
                const auto k = static_cast<std::size_t>(r - r0);
                lo[k] = std::min({lo[k], xa, xb});
                hi[k] = std::max({hi[k], xa, xb});
            }
        }
        for (int r = r0; r <= r1; ++r) {
            const auto k = static_cast<std::size_t>(r - r0);
            if (lo[k] > hi[k]) continue;
            const int a = static_cast<int>(std::floor((lo[k] - kRasterSlackMm) / c)) - cx0;
            const int b = static_cast<int>(std::floor((hi[k] + kRasterSlackMm) / c)) - cx0;
            raster.mask.setRun(r - cy0, a, b);
        }
    }
    return raster;
}

double packingCellMm(const PaperMm& paper, double marginMm)
{
    const double area = (paper.width - 2 * marginMm) * (paper.height - 2 * marginMm);
    // Up to a quarter of a million cells a page.
    return std::max(1.0, std::sqrt(std::max(area, 0.0) / 250000.0));
}

namespace {

// The raster of shapes turned a further quarter turn: the grid's cells go
// to cells, cell (i, j) to cell (-j - 1, i).
Raster quarterTurned(const Raster& r, double cellMm)
{
    const CellMask& m = r.mask;
    Raster out;
    const int cx0 = static_cast<int>(std::lround(r.origin.x / cellMm));
    const int cy0 = static_cast<int>(std::lround(r.origin.y / cellMm));
    out.origin = {(-cy0 - m.height()) * cellMm, cx0 * cellMm};
    out.mask = CellMask(m.height(), m.width());
    for (int v = 0; v < m.height(); ++v)
        m.forEachRun(v, [&](int u0, int u1) {
            for (int u = u0; u <= u1; ++u) out.mask.set(m.height() - 1 - v, u);
        });
    return out;
}

struct PackTurn {
    double degrees;
    Raster raster;
    RowRuns runs;
};

struct PreparedItem {
    std::vector<PackTurn> turns; // the turns that fit an empty page
    int cells = 0;
    int shortSide = 0, longSide = 0; // of the box of the first turn, in cells
};

struct PackGrid {
    double cell;
    int gap, cols, rows;
};

// Packs the prepared items in the given order: each goes to the first page
// where it fits, at the topmost, then leftmost place of any of its turns.
PackResult packInOrder(const std::vector<PreparedItem>& prepared, const std::vector<int>& order,
                       const PackGrid& grid, double marginMm, std::size_t openPages, const std::atomic<bool>* cancel)
{
    PackResult result;
    result.placements.resize(prepared.size());
    result.order = order;
    const int gap = grid.gap, cols = grid.cols, rows = grid.rows;
    const double c = grid.cell;

    struct Page {
        CellMask taken;
        int freeCells = 0;
        std::vector<int> clearRuns; // per row of taken
        FreeRuns free;              // while the page is open
        // The box sides (shorter, longer) of the smallest piece that found
        // no room here: a piece at least as large in both is not tried.
        int refusedShort = 1 << 30, refusedLong = 1 << 30;
    };
    std::vector<Page> pages;
    const int pageCells = cols * rows;
    std::vector<std::uint64_t> places;
    int placedCount = 0;

    for (const int index : order) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            return result;
        }
        const PreparedItem& item = prepared[static_cast<std::size_t>(index)];
        int chosenPage = -1, chosenTurn = 0, bestX = 0, bestY = 0;
        const std::size_t firstOpen = pages.size() > openPages ? pages.size() - openPages : 0;
        for (std::size_t p = firstOpen; p < pages.size() && chosenPage < 0; ++p) {
            if (pages[p].freeCells < item.cells) continue;
            if (item.shortSide >= pages[p].refusedShort && item.longSide >= pages[p].refusedLong) continue;
            int foundY = rows + gap + 1;
            for (std::size_t t = 0; t < item.turns.size(); ++t) {
                const PackTurn& turn = item.turns[t];
                const CellMask& mask = turn.raster.mask;
                const int lastY = std::min(gap + rows - mask.height(), foundY);
                const int lastX = gap + cols - mask.width();
                for (int y = gap; y <= lastY; ++y) {
                    if (turn.runs.rowsTooLong(pages[p].clearRuns, y)) continue;
                    const int xEnd = y == foundY ? std::min(lastX, bestX - 1) : lastX;
                    if (xEnd < gap) continue;
                    const int x = leftmostFit(pages[p].free, turn.runs, y, gap, xEnd, places);
                    if (x < 0) continue;
                    foundY = y;
                    bestX = x;
                    bestY = y;
                    chosenTurn = static_cast<int>(t);
                    chosenPage = static_cast<int>(p);
                    break;
                }
            }
            if (chosenPage < 0 &&
                static_cast<long>(item.shortSide) * item.longSide <
                    static_cast<long>(pages[p].refusedShort) * pages[p].refusedLong) {
                pages[p].refusedShort = item.shortSide;
                pages[p].refusedLong = item.longSide;
            }
        }
        if (chosenPage < 0) {
            if (static_cast<int>(pages.size()) >= kMaxPages) {
                result.tooManyPages = true;
                result.pageCount = static_cast<int>(pages.size());
                result.placedBeforeStop = placedCount;
                return result;
            }
            pages.push_back({CellMask(cols + 2 * gap, rows + 2 * gap), pageCells,
                             std::vector<int>(static_cast<std::size_t>(rows + 2 * gap), cols + 2 * gap), {}});
            pages.back().free = FreeRuns(pages.back().taken);
            // Pages no longer offered room let go of their runs.
            if (pages.size() > openPages) pages[pages.size() - openPages - 1].free = FreeRuns();
            chosenPage = static_cast<int>(pages.size()) - 1;
            chosenTurn = 0;
            bestX = gap;
            bestY = gap;
        }
        const PackTurn& turn = item.turns[static_cast<std::size_t>(chosenTurn)];
        Page& page = pages[static_cast<std::size_t>(chosenPage)];
        const CellMask grown = turn.raster.mask.grown(gap);
        page.taken.merge(grown, bestX - gap, bestY - gap);
        for (int y = bestY - gap; y < bestY - gap + grown.height(); ++y) {
            page.clearRuns[static_cast<std::size_t>(y)] = page.taken.longestClearRun(y);
            if (!page.free.empty()) page.free.update(page.taken, y);
        }
        page.freeCells -= turn.raster.mask.count();
        PackPlacement& placement = result.placements[static_cast<std::size_t>(index)];
        placement.page = chosenPage + 1;
        placement.rotationDeg = turn.degrees;
        placement.offset = {marginMm + (bestX - gap) * c - turn.raster.origin.x,
                            marginMm + (bestY - gap) * c - turn.raster.origin.y};
        ++placedCount;
    }
    result.pageCount = static_cast<int>(pages.size());
    return result;
}

} // namespace

namespace {

PackResult packOnPaper(const std::vector<PackItem>& items, const PaperMm& paper, double marginMm,
                       const std::atomic<bool>* cancel, bool thorough)
{
    PackResult result;
    // Few pieces are packed on cells of half the size: closer, and slower.
    const double c = packingCellMm(paper, marginMm) * (thorough ? 0.5 : 1.0);
    const int gap = static_cast<int>(std::ceil(kPagesGapMm / c - 1e-9));
    const int cols = static_cast<int>(std::floor((paper.width - 2 * marginMm) / c + 1e-9));
    const int rows = static_cast<int>(std::floor((paper.height - 2 * marginMm) / c + 1e-9));
    if (cols < 1 || rows < 1) {
        result.doesNotFit = !items.empty();
        return result;
    }

    std::vector<PreparedItem> prepared(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            return result;
        }
        std::vector<MmPoint> all;
        for (const auto& s : items[i].shapes) all.insert(all.end(), s.begin(), s.end());
        const double base = smallestBoxTurn(convexHull(all));
        std::vector<double> starts{base, items[i].fitTurn};
        if (thorough) starts.push_back(base + 45.0);
        for (std::size_t k = 0; k < starts.size(); ++k) {
            if (k == 1 && !thorough && !prepared[i].turns.empty()) break;
            const double start = std::fmod(starts[k], 90.0);
            bool repeated = false;
            for (std::size_t j = 0; j < k; ++j)
                repeated = repeated || std::abs(std::fmod(starts[j], 90.0) - start) < 1e-9;
            if (repeated) continue;
            Raster r = rasterize(items[i].shapes, start, c);
            for (int q = 0; q < 4; ++q) {
                if (q > 0) r = quarterTurned(r, c);
                if (r.mask.width() <= cols && r.mask.height() <= rows) {
                    RowRuns runs(r.mask);
                    prepared[i].turns.push_back({start + 90.0 * q, r, std::move(runs)});
                }
            }
        }
        if (prepared[i].turns.empty()) {
            result.doesNotFit = true;
            return result;
        }
        const CellMask& first = prepared[i].turns.front().raster.mask;
        prepared[i].cells = first.count();
        prepared[i].shortSide = std::min(first.width(), first.height());
        prepared[i].longSide = std::max(first.width(), first.height());
    }

    // Largest first: by cells, or by the longer side of the box.
    std::vector<std::vector<int>> orders;
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    auto at = [&](int i) -> const PreparedItem& { return prepared[static_cast<std::size_t>(i)]; };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).cells > at(b).cells; });
    orders.push_back(order);
    if (thorough) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).longSide > at(b).longSide; });
        orders.push_back(order);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).shortSide > at(b).shortSide; });
        orders.push_back(order);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return static_cast<long>(at(a).shortSide) * at(a).longSide > static_cast<long>(at(b).shortSide) * at(b).longSide;
        });
        orders.push_back(order);
    }
    const PackGrid grid{c, gap, cols, rows};
    // No order needs fewer pages than the cells fill.
    long cells = 0;
    for (const PreparedItem& item : prepared) cells += item.cells;
    const long leastPages = (cells + static_cast<long>(cols) * rows - 1) / (static_cast<long>(cols) * rows);
    for (const auto& o : orders) {
        if (!result.order.empty() && result.pageCount <= leastPages) break;
        PackResult packed = packInOrder(prepared, o, grid, marginMm, thorough ? static_cast<std::size_t>(kMaxPages) : kOpenPages, cancel);
        if (packed.cancelled || packed.tooManyPages) return packed;
        if (result.order.empty() || packed.pageCount < result.pageCount) result = std::move(packed);
    }
    return result;
}

} // namespace

PackResult packPieces(const std::vector<PackItem>& items, const PaperMm& paper, double marginMm,
                      const std::atomic<bool>* cancel)
{
    // Few pieces are worth more turns, more orders, and the page filled
    // from another side: packed on the paper turned a quarter, and turned
    // back.
    const bool thorough = items.size() <= kThoroughItems;
    PackResult result = packOnPaper(items, paper, marginMm, cancel, thorough);
    if (!thorough || result.cancelled || result.tooManyPages || result.doesNotFit || result.pageCount <= 1)
        return result;
    PackResult across = packOnPaper(items, {paper.height, paper.width}, marginMm, cancel, thorough);
    if (across.cancelled) return across;
    if (across.tooManyPages || across.doesNotFit || across.pageCount >= result.pageCount) return result;
    for (PackPlacement& placement : across.placements) {
        placement.rotationDeg = std::fmod(placement.rotationDeg + 90.0, 360.0);
        placement.offset = {paper.width - placement.offset.y, placement.offset.x};
    }
    across.packedAcross = true;
    return across;
}

} // namespace nettor
