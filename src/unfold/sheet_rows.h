#pragma once
// The candidate rows of the arrangement, each with the placed rectangles
// that cross the line just above it merged into blocks along x. A part
// whose lower side runs along that line is ruled out wherever a lower
// corner lies in a block, and wherever its lower side spans a block that
// ends below its top, so a row whose gaps are all narrower than the part
// can be passed over without testing a single position in it.
#include "unfold/box_grid.h"

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

namespace nettor {

class SheetRows {
public:
    // The rows' heights in ascending order, without repeats.
    const std::vector<double>& ys() const { return ys_; }

    // Adds a row at height y (nothing when there is one already).
    void addRow(double y);
    // Records a placed rectangle; it joins the rows it crosses.
    void addRectangle(double x0, double y0, double x1, double y1);
    // The same in two steps, so that the rows may be shared out among
    // threads: the rectangle recorded, giving the range of rows between its
    // sides, and rows from..to of that range joined. Two calls of joinRows
    // on ranges apart touch nothing in common.
    std::pair<std::size_t, std::size_t> recordRectangle(const GridBox& rect);
    void joinRows(const GridBox& rect, std::size_t from, std::size_t to);

    // A run of placed rectangles along x, and the lowest top among them.
    struct Block {
        double start, end, lowestTop;
    };
    // Room openings() works in: each search brings its own, so that
    // searches on several threads share nothing they write.
    struct Scratch {
        std::vector<Block> blocks;
        std::size_t holding = 0; // the row of the last top looked up
        std::vector<std::pair<double, double>> ruledOut, kept;
    };

    // The open ranges of left sides where a rectangle of width w and height
    // h whose lower side lies on row `row` lifted by no more than `lift` may
    // be free of every placed rectangle, left to right; every other
    // position in the row meets one by a corner. The last range is open to
    // the right.
    void openings(std::size_t row, double w, double h, double lift, std::vector<std::pair<double, double>>& out,
                  Scratch& scratch) const;
    // Takes out of the openings the left sides at which an upper corner of
    // that rectangle lies in a placed rectangle: the rectangles that hold
    // the line of its top, which all cross the highest row at or below it.
    void trimByUpperCorners(std::size_t row, double w, double h, double lift,
                            std::vector<std::pair<double, double>>& openings, Scratch& scratch) const;

private:
    struct Row {
        std::vector<Block> rects;  // the crossing rectangles by left side, each a block of its own
        std::vector<Block> blocks;
        std::vector<std::size_t> blockRects; // where each block's rectangles start in rects
        double widestGap = 0.0;   // among the gaps left of the last block, from x = 0
        double highestLowestTop = 0.0;
        double lowestTop = 0.0;
        double narrowest = 0.0;   // the narrowest block's width
        double extent = 0.0;      // the largest coordinate in the row
    };
    static bool crosses(const GridBox& rect, double y);
    // A top above y by more than rounding.
    static bool reachesAbove(double top, double y);
    // Puts the rectangle after those that start left of it or where it does.
    static std::vector<Block>::iterator insertByStart(std::vector<Block>& rects, const Block& rect);
    // The row's blocks and the figures kept about them, from its rectangles.
    static void summarize(Row& row);
    // The same after the row's rectangle `added` came in among the others.
    static void joinBlocks(Row& row, std::size_t added);
    // The figures kept about the row's blocks.
    static void measureBlocks(Row& row);
    // The gap left of block i: from x = 0 for the first.
    static double gapBefore(const std::vector<Block>& blocks, std::size_t i);
    // The blocks of the rectangles whose tops are at or above `lifted`,
    // added to `out`.
    static void mergeReaching(const Block* first, const Block* last, double lifted, std::vector<Block>& out);
    // The blocks of block i's rectangles whose tops are at or above
    // `lifted`, added to `out`: the block itself when all of them are.
    static void appendReaching(const Row& row, std::size_t i, double lifted, std::vector<Block>& out);
    static void mergeReaching(const std::vector<Block>& rects, double lifted, std::vector<Block>& out)
    {
        out.clear();
        mergeReaching(rects.data(), rects.data() + rects.size(), lifted, out);
    }

    std::vector<double> ys_;
    std::vector<Row> rows_;
    std::vector<GridBox> rects_;
    std::multimap<double, std::size_t> bottoms_; // each rectangle by its lower side
};

} // namespace nettor
