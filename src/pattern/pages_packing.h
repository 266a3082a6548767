#pragma once
// Packing pieces onto pages by their outlines. Each page's printable area is
// a grid of square cells; a piece covers every cell its faces and flaps
// touch, and the cells it covers, grown by the gap, are taken on the page.
// A piece goes to the first page with room, at the topmost, then leftmost
// cell where it fits in one of four quarter turns of the turn that makes
// its box smallest (or of a turn known to fit). A few pieces are packed on
// finer cells, also in other orders, with more turns, and on the paper
// turned a quarter; the packing on fewest pages is kept.
#include "pattern/pages_geometry.h"
#include "state/pages_settings.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace nettor {

// Bits in rows of 64-bit words; bit x of row y is cell (x, y).
class CellMask {
public:
    CellMask() = default;
    CellMask(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    bool get(int x, int y) const;
    void set(int x, int y);
    // Sets cells x0..x1 of row y.
    void setRun(int y, int x0, int x1);
    int count() const;
    // Every cell within `cells` of a set cell along x and y (a square).
    CellMask grown(int cells) const;
    // Sets, in this mask, the cells of the other placed at (x, y).
    void merge(const CellMask& other, int x, int y);
    // The last set cell of row y within x0..x1, or -1.
    int lastSetIn(int y, int x0, int x1) const;
    // The length of the longest run of clear cells in row y.
    int longestClearRun(int y) const;
    // The first set (clear) cell of row y from x on, or width().
    int nextSet(int y, int x) const;
    int nextClear(int y, int x) const;
    // Calls f(x0, x1) for each run of set cells x0..x1 of row y, left to right.
    template <typename F>
    void forEachRun(int y, F&& f) const
    {
        for (int x = nextSet(y, 0); x < width_;) {
            const int end = nextClear(y, x);
            f(x, end - 1);
            x = nextSet(y, end);
        }
    }
    // The words of row y, bit x of word x / 64 for cell x.
    const std::uint64_t* rowWords(int y) const { return row(y); }

private:
    int width_ = 0, height_ = 0, words_ = 0;
    std::vector<std::uint64_t> bits_;
    const std::uint64_t* row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * words_; }
    std::uint64_t* row(int y) { return bits_.data() + static_cast<std::size_t>(y) * words_; }
};

// The cells a set of polygons touches, after turning them by degrees, and
// where the mask's cell (0, 0) lies in the turned plane.
struct Raster {
    CellMask mask;
    MmPoint origin;
};
Raster rasterize(const std::vector<std::vector<MmPoint>>& polygons, double degrees, double cellMm);

struct PackItem {
    std::vector<std::vector<MmPoint>> shapes; // faces and flaps, in the piece's mm
    double fitTurn = 0.0;                     // a turn known to fit an empty page
};

struct PackPlacement {
    int page = 0; // from 1
    double rotationDeg = 0.0;
    MmPoint offset;
};

struct PackResult {
    std::vector<PackPlacement> placements; // by item
    std::vector<int> order;                // items in the order they were placed
    int pageCount = 0;
    bool cancelled = false;
    bool tooManyPages = false;
    int placedBeforeStop = 0; // items placed when too many pages stopped it
    bool doesNotFit = false;  // an item fits no empty page
    bool packedAcross = false; // packed on the paper turned a quarter, turned back
};

// The cell size for a paper: 1 mm, coarser on very large paper. A few
// pieces are packed on cells of half that size.
double packingCellMm(const PaperMm& paper, double marginMm);

PackResult packPieces(const std::vector<PackItem>& items, const PaperMm& paper, double marginMm,
                      const std::atomic<bool>* cancel);

} // namespace nettor
