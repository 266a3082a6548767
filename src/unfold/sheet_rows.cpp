#include "unfold/sheet_rows.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
long gGap=0,gStr=0,gExt=0,gOk=0;

namespace nettor {

SheetRows::SheetRows(double lift) : lift_(lift) {}

// A rectangle is listed in a row when it holds the row's line lifted by any
// amount up to the lift: from its bottom at or below the row to its top at
// or above the lifted line.
bool SheetRows::crosses(const Rect& rect, double y) const
{
    return rect.y0 <= y && rect.y1 >= y + lift_;
}

void SheetRows::addRow(double y)
{
    const auto at = std::lower_bound(ys_.begin(), ys_.end(), y);
    if (at != ys_.end() && *at == y) return;
    Row row;
    for (const Rect& rect : rects_)
        if (crosses(rect, y)) row.blocks.push_back({rect.x0, rect.x1, rect.y1});
    std::sort(row.blocks.begin(), row.blocks.end(), [](const Block& a, const Block& b) { return a.start < b.start; });
    // Merge in one pass: intervals that overlap or touch form one block.
    std::vector<Block> merged;
    for (const Block& b : row.blocks) {
        if (!merged.empty() && b.start <= merged.back().end) {
            merged.back().end = std::max(merged.back().end, b.end);
            merged.back().lowestTop = std::min(merged.back().lowestTop, b.lowestTop);
        } else {
            merged.push_back(b);
        }
    }
    row.blocks = std::move(merged);
    summarize(row);
    rows_.insert(rows_.begin() + (at - ys_.begin()), std::move(row));
    ys_.insert(at, y);
}

void SheetRows::addRectangle(double x0, double y0, double x1, double y1)
{
    const Rect rect{x0, y0, x1, y1};
    rects_.push_back(rect);
    for (std::size_t i = static_cast<std::size_t>(std::lower_bound(ys_.begin(), ys_.end(), y0) - ys_.begin());
         i < ys_.size() && ys_[i] <= y1; ++i) {
        if (!crosses(rect, ys_[i])) continue;
        insert(rows_[i], rect);
        summarize(rows_[i]);
    }
}

void SheetRows::insert(Row& row, const Rect& rect)
{
    std::vector<Block>& blocks = row.blocks;
    // The blocks that overlap or touch [x0, x1] form a run.
    auto first = std::lower_bound(blocks.begin(), blocks.end(), rect.x0,
                                  [](const Block& b, double x) { return b.end < x; });
    auto last = first;
    Block joined{rect.x0, rect.x1, rect.y1};
    while (last != blocks.end() && last->start <= rect.x1) {
        joined.start = std::min(joined.start, last->start);
        joined.end = std::max(joined.end, last->end);
        joined.lowestTop = std::min(joined.lowestTop, last->lowestTop);
        ++last;
    }
    if (first == last) {
        blocks.insert(first, joined);
    } else {
        *first = joined;
        blocks.erase(first + 1, last);
    }
}

void SheetRows::summarize(Row& row)
{
    row.widestGap = 0.0;
    row.highestLowestTop = -DBL_MAX;
    row.extent = 0.0;
    if (row.blocks.empty()) return;
    row.widestGap = std::max(0.0, row.blocks.front().start);
    for (std::size_t i = 0; i < row.blocks.size(); ++i) {
        const Block& b = row.blocks[i];
        if (i > 0) row.widestGap = std::max(row.widestGap, b.start - row.blocks[i - 1].end);
        row.highestLowestTop = std::max(row.highestLowestTop, b.lowestTop);
    }
    row.extent = std::max(std::fabs(row.blocks.front().start), std::fabs(row.blocks.back().end));
}

// With the rectangle's lower side on the lifted line, a lower corner in a
// block lies in one of its rectangles; a lower side that runs from one gap
// to another spans whole blocks, and a spanned rectangle whose top is not
// above the rectangle's top has its upper corners inside it. So only a
// left side in a gap wider than the rectangle, or in the gap before a
// narrower block whose rectangles all reach above it, can leave a position
// free. Widths are compared with a thousandth to spare, far more than the
// rounding of coordinates within a billion widths of the origin.
void SheetRows::openings(std::size_t row, double w, double h, std::vector<std::pair<double, double>>& out) const
{
    out.clear();
    const Row& r = rows_[row];
    if (r.blocks.empty() || !(w > 0.0) || !(r.extent * 1e-9 < w)) {
        out.emplace_back(-DBL_MAX, DBL_MAX);
        return;
    }
    const double top = ys_[row] + h;
    const bool anyTall = r.highestLowestTop > top;
    if (r.widestGap < 0.999 * w && !anyTall) {
        out.emplace_back(r.blocks.back().end, DBL_MAX);
        return;
    }
    for (std::size_t i = 0; i < r.blocks.size(); ++i) {
        const Block& b = r.blocks[i];
        const double gapStart = i == 0 ? 0.0 : r.blocks[i - 1].end;
        const bool wide = b.start - gapStart >= 0.999 * w;
        const bool tall = anyTall && b.lowestTop > top && b.end - b.start < 1.001 * w;
        if (wide || tall) out.emplace_back(i == 0 ? -DBL_MAX : gapStart, b.start);
    }
    out.emplace_back(r.blocks.back().end, DBL_MAX);
}

} // namespace nettor
