#include "unfold/sheet_index.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

constexpr double kCellLimit = 1073741824.0; // 2^30 cells each way
constexpr std::int64_t kMostCells = 64;     // a rectangle over more is kept aside

std::uint64_t key(std::int64_t cx, std::int64_t cy)
{
    return (static_cast<std::uint64_t>(cx + (1 << 30)) << 32) | static_cast<std::uint64_t>(cy + (1 << 30));
}

} // namespace

SheetIndex::SheetIndex(double cellSize)
{
    if (cellSize > 0.0 && std::isfinite(cellSize) && std::isfinite(1.0 / cellSize))
        inverseCell_ = 1.0 / cellSize;
}

bool SheetIndex::cellRange(double x0, double y0, double x1, double y1, std::int64_t range[4]) const
{
    const double v[4] = {std::floor(x0 * inverseCell_), std::floor(y0 * inverseCell_),
                         std::floor(x1 * inverseCell_), std::floor(y1 * inverseCell_)};
    for (int i = 0; i < 4; ++i) {
        if (!(v[i] > -kCellLimit && v[i] < kCellLimit)) return false;
        range[i] = static_cast<std::int64_t>(v[i]);
    }
    return range[0] <= range[2] && range[1] <= range[3];
}

void SheetIndex::add(std::size_t part, double x0, double y0, double x1, double y1)
{
    if (seen_.size() <= part) seen_.resize(part + 1, 0);
    std::int64_t r[4];
    if (inverseCell_ == 0.0 || !cellRange(x0, y0, x1, y1, r) ||
        (r[2] - r[0] + 1) * (r[3] - r[1] + 1) > kMostCells) {
        wide_.push_back(part);
        return;
    }
    for (std::int64_t cy = r[1]; cy <= r[3]; ++cy)
        for (std::int64_t cx = r[0]; cx <= r[2]; ++cx) cells_[key(cx, cy)].push_back(part);
}

const std::vector<std::size_t>& SheetIndex::near(double x0, double y0, double x1, double y1)
{
    result_ = wide_;
    std::int64_t r[4];
    if (inverseCell_ == 0.0 || !cellRange(x0, y0, x1, y1, r)) return result_;
    if (++query_ == 0) { // the stamps wrapped round: start them afresh
        std::fill(seen_.begin(), seen_.end(), 0);
        query_ = 1;
    }
    // A query over many cells is clipped to the cells that can hold anything.
    const std::int64_t spanX = r[2] - r[0] + 1, spanY = r[3] - r[1] + 1;
    if (spanX * spanY > static_cast<std::int64_t>(cells_.size()) * 4 + kMostCells) {
        for (const auto& [k, parts] : cells_) {
            const std::int64_t cx = static_cast<std::int64_t>(k >> 32) - (1 << 30);
            const std::int64_t cy = static_cast<std::int64_t>(k & 0xffffffffu) - (1 << 30);
            if (cx < r[0] || cx > r[2] || cy < r[1] || cy > r[3]) continue;
            for (std::size_t p : parts)
                if (seen_[p] != query_) seen_[p] = query_, result_.push_back(p);
        }
        return result_;
    }
    for (std::int64_t cy = r[1]; cy <= r[3]; ++cy)
        for (std::int64_t cx = r[0]; cx <= r[2]; ++cx) {
            auto it = cells_.find(key(cx, cy));
            if (it == cells_.end()) continue;
            for (std::size_t p : it->second)
                if (seen_[p] != query_) seen_[p] = query_, result_.push_back(p);
        }
    return result_;
}

} // namespace nettor
