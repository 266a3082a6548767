#pragma once
// A uniform grid over the boxes of a part's outline segments. A prospective
// segment then meets only the segments whose boxes can touch its own box,
// instead of the whole outline.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nettor {

class OutlineGrid {
public:
    struct Box {
        double minX, minY, maxX, maxY;
    };

    // Indexes the boxes, one per segment in outline order. Few boxes, or
    // coordinates that are not finite, leave the grid unusable; callers then
    // scan every segment.
    void build(const std::vector<Box>& boxes);
    bool usable() const { return columns_ > 0; }

    // Calls visit(i) once for every indexed box i that shares a cell with the
    // query box, until a call returns true; returns whether one did. Every
    // box that overlaps the query box (edges included) shares a cell with it.
    // The query must be finite.
    template <class Visit>
    bool anyNear(const Box& query, Visit&& visit) const
    {
        const int x0 = column(query.minX), x1 = column(query.maxX);
        const int y0 = row(query.minY), y1 = row(query.maxY);
        for (int cy = y0; cy <= y1; ++cy) {
            for (int cx = x0; cx <= x1; ++cx) {
                const std::size_t cell = static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns_) +
                                         static_cast<std::size_t>(cx);
                for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
                    const std::uint32_t i = items_[k];
                    // A box spanning several cells is visited only in the first
                    // cell it shares with the query.
                    if ((firstColumn_[i] > x0 ? firstColumn_[i] : x0) != cx) continue;
                    if ((firstRow_[i] > y0 ? firstRow_[i] : y0) != cy) continue;
                    if (visit(static_cast<std::size_t>(i))) return true;
                }
            }
        }
        return false;
    }

private:
    // Monotone in the coordinate, so overlapping intervals get overlapping
    // cell ranges.
    int cellOf(double v, double origin, int count) const;
    int column(double x) const { return cellOf(x, originX_, columns_); }
    int row(double y) const { return cellOf(y, originY_, rows_); }

    double originX_ = 0.0, originY_ = 0.0, inverseCell_ = 0.0;
    int columns_ = 0, rows_ = 0;
    std::vector<std::uint32_t> cellStart_; // rows * columns + 1 offsets into items_
    std::vector<std::uint32_t> items_;     // box numbers, cell by cell
    std::vector<int> firstColumn_, firstRow_;
    std::vector<std::uint32_t> cursor_;    // scratch of build, kept for its capacity
};

} // namespace nettor
