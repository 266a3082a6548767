#include "unfold/box_grid.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {
constexpr double kCellLimit = 1073741000.0; // cell numbers stay within 2^30 each way
constexpr std::int64_t kMostCells = 64;     // a box over more cells is kept aside
} // namespace

BoxGrid::BoxGrid(double cellSize)
{
    if (cellSize > 0.0 && std::isfinite(cellSize) && std::isfinite(1.0 / cellSize))
        inverseCell_ = 1.0 / cellSize;
}

bool BoxGrid::cellRange(const GridBox& box, Range& range) const
{
    if (inverseCell_ == 0.0) return false;
    const double v[4] = {std::floor(box.minX * inverseCell_), std::floor(box.minY * inverseCell_),
                         std::floor(box.maxX * inverseCell_), std::floor(box.maxY * inverseCell_)};
    for (double c : v)
        if (!(c > -kCellLimit && c < kCellLimit)) return false;
    range.x0 = static_cast<std::int32_t>(v[0]);
    range.y0 = static_cast<std::int32_t>(v[1]);
    range.x1 = static_cast<std::int32_t>(v[2]);
    range.y1 = static_cast<std::int32_t>(v[3]);
    return range.x0 <= range.x1 && range.y0 <= range.y1;
}

void BoxGrid::insert(std::uint32_t id, const GridBox& box)
{
    if (ranges_.size() <= id) ranges_.resize(static_cast<std::size_t>(id) + 1);
    Range r;
    r.present = true;
    if (!cellRange(box, r) || r.span() > kMostCells) {
        r.aside = true;
        r.asideAt = static_cast<std::uint32_t>(aside_.size());
        aside_.push_back(id);
        ranges_[id] = r;
        return;
    }
    ranges_[id] = r;
    for (std::int64_t cy = r.y0; cy <= r.y1; ++cy)
        for (std::int64_t cx = r.x0; cx <= r.x1; ++cx) cells_[makeKey(cx, cy)].push_back(id);
}

void BoxGrid::remove(std::uint32_t id)
{
    if (id >= ranges_.size() || !ranges_[id].present) return;
    Range& r = ranges_[id];
    r.present = false;
    if (r.aside) {
        const std::uint32_t moved = aside_.back();
        aside_[r.asideAt] = moved;
        ranges_[moved].asideAt = r.asideAt;
        aside_.pop_back();
        r.aside = false;
        return;
    }
    for (std::int64_t cy = r.y0; cy <= r.y1; ++cy)
        for (std::int64_t cx = r.x0; cx <= r.x1; ++cx) {
            const auto it = cells_.find(makeKey(cx, cy));
            if (it == cells_.end()) continue;
            std::vector<std::uint32_t>& ids = it->second;
            const auto at = std::find(ids.begin(), ids.end(), id);
            if (at != ids.end()) {
                *at = ids.back();
                ids.pop_back();
            }
            if (ids.empty()) cells_.erase(it);
        }
}

void BoxGrid::clear()
{
    cells_.clear();
    ranges_.clear();
    aside_.clear();
}

} // namespace nettor
