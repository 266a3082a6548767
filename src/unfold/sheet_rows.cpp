#include "unfold/sheet_rows.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace nettor {

// A rectangle is listed in a row when it holds the line just above the
// row: from its bottom at or below the row to its top above it. Tops that
// differ from the row only by rounding (parts of one height side by side)
// are left out: no lifted rectangle reaches down to them.
bool SheetRows::crosses(const GridBox& rect, double y)
{
    return rect.minY <= y && reachesAbove(rect.maxY, y);
}

bool SheetRows::reachesAbove(double top, double y) { return top > y + std::fabs(y) * 1e-9; }

std::vector<SheetRows::Block>::iterator SheetRows::insertByStart(std::vector<Block>& rects, const Block& rect)
{
    return rects.insert(std::upper_bound(rects.begin(), rects.end(), rect.start,
                                         [](double x, const Block& b) { return x < b.start; }),
                        rect);
}

void SheetRows::addRow(double y)
{
    const auto at = std::lower_bound(ys_.begin(), ys_.end(), y);
    if (at != ys_.end() && *at == y) return;
    Row row;
    if (at == ys_.begin()) {
        for (const GridBox& rect : rects_)
            if (crosses(rect, y)) row.rects.push_back({rect.minX, rect.maxX, rect.maxY});
        std::sort(row.rects.begin(), row.rects.end(), [](const Block& a, const Block& b) { return a.start < b.start; });
    } else {
        // A rectangle that holds the line above y and starts at or below
        // the row below holds that row's line too (the bound only grows
        // with the height); the others start between the two rows.
        const double below = *(at - 1);
        for (const Block& b : rows_[static_cast<std::size_t>(at - ys_.begin()) - 1].rects)
            if (reachesAbove(b.lowestTop, y)) row.rects.push_back(b);
        for (auto r = bottoms_.upper_bound(below); r != bottoms_.end() && r->first <= y; ++r) {
            const GridBox& rect = rects_[r->second];
            if (crosses(rect, y)) insertByStart(row.rects, {rect.minX, rect.maxX, rect.maxY});
        }
    }
    summarize(row);
    rows_.insert(rows_.begin() + (at - ys_.begin()), std::move(row));
    ys_.insert(at, y);
}

void SheetRows::addRectangle(double x0, double y0, double x1, double y1)
{
    const GridBox rect{x0, y0, x1, y1};
    const auto [from, to] = recordRectangle(rect);
    joinRows(rect, from, to);
}

std::pair<std::size_t, std::size_t> SheetRows::recordRectangle(const GridBox& rect)
{
    bottoms_.emplace(rect.minY, rects_.size());
    rects_.push_back(rect);
    const auto from = std::lower_bound(ys_.begin(), ys_.end(), rect.minY);
    const auto to = std::upper_bound(from, ys_.end(), rect.maxY);
    return {static_cast<std::size_t>(from - ys_.begin()), static_cast<std::size_t>(to - ys_.begin())};
}

void SheetRows::joinRows(const GridBox& rect, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i) {
        if (!crosses(rect, ys_[i])) continue;
        std::vector<Block>& rects = rows_[i].rects;
        const auto at = insertByStart(rects, {rect.minX, rect.maxX, rect.maxY});
        joinBlocks(rows_[i], static_cast<std::size_t>(at - rects.begin()));
    }
}

void SheetRows::joinBlocks(Row& row, std::size_t added)
{
    // The blocks are the runs of the union of the rectangles' closed
    // ranges: the new one joins those it meets, which are consecutive.
    const Block b = row.rects[added];
    std::vector<Block>& blocks = row.blocks;
    const auto first = static_cast<std::size_t>(
        std::partition_point(blocks.begin(), blocks.end(), [&](const Block& k) { return k.end < b.start; }) -
        blocks.begin());
    std::size_t last = first;
    Block joined = b;
    std::size_t firstRect = added;
    for (; last < blocks.size() && blocks[last].start <= b.end; ++last) {
        joined.start = std::min(joined.start, blocks[last].start);
        joined.end = std::max(joined.end, blocks[last].end);
        joined.lowestTop = std::min(joined.lowestTop, blocks[last].lowestTop);
        firstRect = std::min(firstRect, row.blockRects[last]);
    }
    // The figures change only where the blocks do: they are measured
    // afresh only when a block or gap taken away may have held one of them.
    bool remeasure = false;
    for (std::size_t i = first; i < last; ++i)
        remeasure = remeasure || blocks[i].end - blocks[i].start == row.narrowest ||
                    blocks[i].lowestTop == row.highestLowestTop;
    for (std::size_t i = first; i <= last && i < blocks.size(); ++i)
        remeasure = remeasure || gapBefore(blocks, i) == row.widestGap;
    // The rectangles of the blocks after it now start one further on.
    for (std::size_t i = last; i < blocks.size(); ++i) ++row.blockRects[i];
    const auto at = static_cast<std::ptrdiff_t>(first);
    blocks.erase(blocks.begin() + at, blocks.begin() + static_cast<std::ptrdiff_t>(last));
    blocks.insert(blocks.begin() + at, joined);
    row.blockRects.erase(row.blockRects.begin() + at, row.blockRects.begin() + static_cast<std::ptrdiff_t>(last));
    row.blockRects.insert(row.blockRects.begin() + at, firstRect);
    if (remeasure) {
        measureBlocks(row);
        return;
    }
    // The joined block and the gaps beside it come in; nothing else changed.
    row.lowestTop = std::min(row.lowestTop, joined.lowestTop);
    row.highestLowestTop = std::max(row.highestLowestTop, joined.lowestTop);
    row.narrowest = std::min(row.narrowest, joined.end - joined.start);
    row.widestGap = std::max(row.widestGap, gapBefore(blocks, first));
    if (first + 1 < blocks.size()) row.widestGap = std::max(row.widestGap, gapBefore(blocks, first + 1));
    row.extent = std::max(std::fabs(blocks.front().start), std::fabs(blocks.back().end));
}

double SheetRows::gapBefore(const std::vector<Block>& blocks, std::size_t i)
{
    return i == 0 ? std::max(0.0, blocks.front().start) : blocks[i].start - blocks[i - 1].end;
}

void SheetRows::mergeReaching(const Block* first, const Block* last, double lifted, std::vector<Block>& out)
{
    // Intervals that overlap or touch form one block.
    const std::size_t before = out.size();
    for (const Block* at = first; at != last; ++at) {
        const Block& b = *at;
        if (b.lowestTop < lifted) continue;
        if (out.size() > before && b.start <= out.back().end) {
            out.back().end = std::max(out.back().end, b.end);
            out.back().lowestTop = std::min(out.back().lowestTop, b.lowestTop);
        } else {
            out.push_back(b);
        }
    }
}

inline void SheetRows::appendReaching(const Row& row, std::size_t i, double lifted, std::vector<Block>& out)
{
    const Block& block = row.blocks[i];
    if (block.lowestTop >= lifted) {
        out.push_back(block);
        return;
    }
    const std::size_t end = i + 1 < row.blocks.size() ? row.blockRects[i + 1] : row.rects.size();
    mergeReaching(row.rects.data() + row.blockRects[i], row.rects.data() + end, lifted, out);
}

void SheetRows::summarize(Row& row)
{
    mergeReaching(row.rects, -DBL_MAX, row.blocks);
    // Every rectangle is in a block, so each block's rectangles are a run
    // of them, starting where the last block ended.
    row.blockRects.clear();
    for (std::size_t i = 0; i < row.rects.size(); ++i)
        if (i == 0 || row.rects[i].start > row.blocks[row.blockRects.size() - 1].end) row.blockRects.push_back(i);
    measureBlocks(row);
}

void SheetRows::measureBlocks(Row& row)
{
    row.widestGap = 0.0;
    row.highestLowestTop = -DBL_MAX;
    row.lowestTop = DBL_MAX;
    row.extent = 0.0;
    row.narrowest = DBL_MAX;
    if (row.blocks.empty()) return;
    for (std::size_t i = 0; i < row.blocks.size(); ++i) {
        const Block& b = row.blocks[i];
        row.widestGap = std::max(row.widestGap, gapBefore(row.blocks, i));
        row.highestLowestTop = std::max(row.highestLowestTop, b.lowestTop);
        row.lowestTop = std::min(row.lowestTop, b.lowestTop);
        row.narrowest = std::min(row.narrowest, b.end - b.start);
    }
    row.extent = std::max(std::fabs(row.blocks.front().start), std::fabs(row.blocks.back().end));
}

// With the rectangle's lower side on the lifted line, a lower corner in a
// block whose rectangles all reach that line lies in one of them; a lower
// side that runs from one gap to another spans whole blocks, and a spanned
// rectangle whose top is not above the rectangle's top has its upper
// corners inside it. So only a left side in a gap wider than the
// rectangle, or in the gap before a narrower block whose rectangles all
// reach above it, can leave a position free. Widths are compared
// with a thousandth to spare, far more than the rounding of coordinates
// within a billion widths of the origin.
void SheetRows::openings(std::size_t row, double w, double h, double lift,
                         std::vector<std::pair<double, double>>& out, Scratch& scratch) const
{
    out.clear();
    const Row& r = rows_[row];
    if (r.blocks.empty() || !(w > 0.0) || !(r.extent * 1e-9 < w)) {
        out.emplace_back(-DBL_MAX, DBL_MAX);
        return;
    }
    const double lifted = ys_[row] + lift;
    const double top = ys_[row] + h;
    const bool anyTall = r.highestLowestTop > top;
    // Without a wide gap, and with no tall block narrow enough to stand
    // in a gap's way, the last block's end is the only way out.
    if (r.widestGap < 0.999 * w && (!anyTall || !(r.narrowest < 1.001 * w)) && r.lowestTop >= lifted) {
        out.emplace_back(r.blocks.back().end, DBL_MAX);
        return;
    }
    // Rectangles whose tops the lifted line passes are left out: a block
    // whose rectangles all reach it stays whole, and only the others are
    // merged afresh from theirs.
    const std::vector<Block>* blocks = &r.blocks;
    if (r.lowestTop < lifted) {
        scratch.blocks.clear();
        for (std::size_t i = 0; i < r.blocks.size(); ++i) appendReaching(r, i, lifted, scratch.blocks);
        blocks = &scratch.blocks;
    }
    double gapStart = -DBL_MAX; // the end of the last block
    for (const Block& b : *blocks) {
        const bool wide = b.start - std::max(gapStart, 0.0) >= 0.999 * w;
        const bool tall = b.lowestTop > top && b.end - b.start < 1.001 * w;
        // A lower side that starts in the gap and ends in or beyond b is
        // ruled out by b unless b is a tall, narrow block; one that ends
        // inside the gap starts at least a width short of b.
        if (tall)
            out.emplace_back(gapStart, b.start);
        else if (wide)
            out.emplace_back(gapStart, b.start - 0.999 * w);
        gapStart = b.end;
    }
    out.emplace_back(gapStart, DBL_MAX);
}

// A candidate's top lies at (y + lift) + h, computed as the overlap test
// computes it. Every placed rectangle starts on a row, so one that holds
// that line (bottom at or below it, top at or above it) crosses the highest
// row at or below it, unless its top is within rounding of that row, and
// then it is only left out. The left side l of the candidate is computed
// as the test computes it too, so a left side within a block of those
// rectangles puts the upper left corner in one of them exactly; the upper
// right corner, at l + w, is ruled in only with a margin for the rounding
// of that sum, one margin for the whole row so that the ranges keep their
// order. Only the row's blocks that reach an opening are looked at, from
// the first that ends at or beyond its left end to the last that starts
// short of its right end plus w: a block whose rectangles all hold the
// line is taken whole, and only the others are merged afresh from theirs.
void SheetRows::trimByUpperCorners(std::size_t row, double w, double h, double lift,
                                   std::vector<std::pair<double, double>>& openings, Scratch& scratch) const
{
    const double top = (ys_[row] + lift) + h;
    // The highest row at or below the top: a search goes up the rows, so
    // it is mostly at or a little above the one found last.
    std::size_t& at = scratch.holding;
    if (at >= ys_.size() || ys_[at] > top) {
        const auto above = std::upper_bound(ys_.begin(), ys_.end(), top);
        if (above == ys_.begin()) return;
        at = static_cast<std::size_t>(above - ys_.begin()) - 1;
    }
    while (at + 1 < ys_.size() && ys_[at + 1] <= top) ++at;
    const Row& holding = rows_[at];
    const std::vector<Block>& rowBlocks = holding.blocks;
    if (rowBlocks.empty()) return;
    const double margin = 1e-9 * (1.0 + holding.extent + w);
    std::vector<std::pair<double, double>>& ruledOut = scratch.ruledOut;
    std::vector<std::pair<double, double>>& kept = scratch.kept;
    kept.clear();
    std::size_t first = 0; // the first block ending at or beyond the opening
    for (const auto& [from0, to] : openings) {
        // Blocks are apart, so their ends ascend as their starts do.
        while (first < rowBlocks.size() && rowBlocks[first].end < from0) ++first;
        // Mostly one block whose rectangles all hold the line takes the
        // opening whole under the upper left corner.
        if (first < rowBlocks.size() && rowBlocks[first].start <= from0 && to <= rowBlocks[first].end &&
            rowBlocks[first].lowestTop >= top)
            continue;
        const double reach = to == DBL_MAX ? DBL_MAX : to + w;
        scratch.blocks.clear();
        for (std::size_t i = first; i < rowBlocks.size() && rowBlocks[i].start < reach; ++i)
            appendReaching(holding, i, top, scratch.blocks);
        const std::vector<Block>& blocks = scratch.blocks;
        // The closed ranges of left sides ruled out, in order: the blocks
        // themselves (upper left corner) and the blocks moved left by w
        // (upper right corner), merged as they come.
        ruledOut.clear();
        auto add = [&](double lo, double hi) {
            if (!ruledOut.empty() && lo <= ruledOut.back().second)
                ruledOut.back().second = std::max(ruledOut.back().second, hi);
            else
                ruledOut.emplace_back(lo, hi);
        };
        std::size_t left = 0, right = 0;
        while (left < blocks.size() || right < blocks.size()) {
            const double rightLo = right < blocks.size() ? (blocks[right].start - w) + margin : 0.0;
            if (right < blocks.size() && (left == blocks.size() || rightLo < blocks[left].start)) {
                const double hi = (blocks[right].end - w) - margin;
                if (rightLo <= hi) add(rightLo, hi);
                ++right;
            } else {
                add(blocks[left].start, blocks[left].end);
                ++left;
            }
        }
        // The opening, an open range, less the closed ranges ruled out.
        double from = from0;
        for (const auto& [lo, hi] : ruledOut) {
            if (hi <= from) continue;
            if (lo >= to) break;
            if (lo > from) kept.emplace_back(from, lo);
            from = std::max(from, hi);
        }
        if (from < to) kept.emplace_back(from, to);
    }
    openings.swap(kept);
}

} // namespace nettor
