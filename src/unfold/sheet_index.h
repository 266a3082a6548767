#pragma once
// Where the parts placed so far lie on the sheet: a grid of their
// rectangles, so that the arrangement can first try the parts near a
// candidate position, which are the ones that usually rule it out.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace nettor {

class SheetIndex {
public:
    // Cells of this size; a size that is not positive and finite leaves the
    // index empty, and nothing is ever near.
    explicit SheetIndex(double cellSize);

    // Records the rectangle [x0, x1] x [y0, y1] of placed part number `part`.
    void add(std::size_t part, double x0, double y0, double x1, double y1);

    // The parts recorded in the cells that the rectangle touches, each once;
    // rectangles that cover many cells are always included. When both are
    // finite, every recorded rectangle that overlaps the given one (edges
    // included) is among them.
    const std::vector<std::size_t>& near(double x0, double y0, double x1, double y1);

private:
    bool cellRange(double x0, double y0, double x1, double y1, std::int64_t range[4]) const;

    double inverseCell_ = 0.0;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells_;
    std::vector<std::size_t> wide_;       // rectangles over many cells, or beyond the grid
    std::vector<std::uint32_t> seen_;     // per part: the query that last listed it
    std::uint32_t query_ = 0;
    std::vector<std::size_t> result_;
};

} // namespace nettor
