#include "support/reference_engine/outline_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nettor {

namespace {

// Below this many segments a plain scan is as quick as the grid.
constexpr std::size_t kMinimumBoxes = 32;

bool finiteBox(const OutlineGrid::Box& b)
{
    return std::isfinite(b.minX) && std::isfinite(b.minY) && std::isfinite(b.maxX) &&
           std::isfinite(b.maxY);
}

} // namespace

int OutlineGrid::cellOf(double v, double origin, int count) const
{
    const double c = std::floor((v - origin) * inverseCell_);
    if (!(c > 0.0)) return 0;
    if (c >= static_cast<double>(count - 1)) return count - 1;
    return static_cast<int>(c);
}

void OutlineGrid::build(const std::vector<Box>& boxes)
{
    columns_ = rows_ = 0;
    cellStart_.clear();
    items_.clear();
    firstColumn_.clear();
    firstRow_.clear();
    const std::size_t n = boxes.size();
    if (n < kMinimumBoxes || n > std::numeric_limits<std::uint32_t>::max() / 16) return;

    double minX = boxes[0].minX, minY = boxes[0].minY, maxX = boxes[0].maxX, maxY = boxes[0].maxY;
    double sizeSum = 0.0;
    for (const Box& b : boxes) {
        if (!finiteBox(b)) return;
        minX = std::min(minX, b.minX);
        minY = std::min(minY, b.minY);
        maxX = std::max(maxX, b.maxX);
        maxY = std::max(maxY, b.maxY);
        sizeSum += std::max(b.maxX - b.minX, b.maxY - b.minY);
    }
    const double width = maxX - minX, height = maxY - minY;
    if (!std::isfinite(width) || !std::isfinite(height) || !std::isfinite(sizeSum)) return;

    // Cells about as large as a typical segment, and not many more cells
    // than segments.
    const double count = static_cast<double>(n);
    double cell = sizeSum / count;
    if (!(cell > 0.0)) cell = std::max(width, height) / std::sqrt(count);
    if (!(cell > 0.0)) cell = 1.0;
    const double cellLimit = 2.0 * count + 16.0;
    const std::size_t itemLimit = 8 * n + 64;
    for (int attempt = 0; attempt < 64; ++attempt, cell *= 1.5) {
        const double cols = std::floor(width / cell) + 1.0;
        const double rws = std::floor(height / cell) + 1.0;
        if (!(cols * rws <= cellLimit)) continue;
        columns_ = static_cast<int>(cols);
        rows_ = static_cast<int>(rws);
        originX_ = minX;
        originY_ = minY;
        inverseCell_ = 1.0 / cell;

        firstColumn_.resize(n);
        firstRow_.resize(n);
        std::size_t items = 0;
        for (std::size_t i = 0; i < n; ++i) {
            firstColumn_[i] = column(boxes[i].minX);
            firstRow_[i] = row(boxes[i].minY);
            items += static_cast<std::size_t>(column(boxes[i].maxX) - firstColumn_[i] + 1) *
                     static_cast<std::size_t>(row(boxes[i].maxY) - firstRow_[i] + 1);
        }
        if (items > itemLimit) {
            columns_ = rows_ = 0; // long segments over small cells: try larger ones
            continue;
        }

        const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
        cellStart_.assign(cells + 1, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const int x1 = column(boxes[i].maxX), y1 = row(boxes[i].maxY);
            for (int cy = firstRow_[i]; cy <= y1; ++cy)
                for (int cx = firstColumn_[i]; cx <= x1; ++cx)
                    ++cellStart_[static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns_) +
                                 static_cast<std::size_t>(cx) + 1];
        }
        for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
        items_.resize(items);
        std::vector<std::uint32_t>& fill = cursor_;
        fill.assign(cellStart_.begin(), cellStart_.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            const int x1 = column(boxes[i].maxX), y1 = row(boxes[i].maxY);
            for (int cy = firstRow_[i]; cy <= y1; ++cy)
                for (int cx = firstColumn_[i]; cx <= x1; ++cx)
                    items_[fill[static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns_) +
                                static_cast<std::size_t>(cx)]++] = static_cast<std::uint32_t>(i);
        }
        return;
    }
    columns_ = rows_ = 0;
}

} // namespace nettor
