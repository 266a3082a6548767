#pragma once
// Splitting parts that do not fit on a page into pieces that do, along
// folds, and the directions in which a set of points fits a box.
#include "model/mesh.h"
#include "pattern/pages_geometry.h"

#include <array>
#include <atomic>
#include <vector>

namespace nettor {

// The extents of a set of points along evenly spread directions, so that a
// growing set can be tested against a box in any of those turns.
class DirectionSpread {
public:
    static constexpr int kDirections = 72; // every 2.5 degrees over a half turn
    DirectionSpread();
    void add(MmPoint p);
    double extent(int direction) const { return hi_[direction] - lo_[direction]; }
    // A direction that, laid along x, makes the points fit width x height
    // (or, turned a quarter, height x width); -1 when none does.
    int fittingDirection(double width, double height) const;
    // The turn in degrees that lays the direction along x.
    static double turnFor(int direction);

private:
    std::array<double, kDirections> lo_, hi_;
};

struct PieceFaces {
    int part = 0;
    std::vector<const Face*> faces; // in the part's placement order
    double fitTurn = 0.0;           // a turn in which the faces fit the box
};

// The box the faces of one piece must fit, in mm, and the paper mm per
// normalised unit.
struct SplitBox {
    double width = 0.0;
    double height = 0.0;
    double mmPerUnit = 1.0;
};

// The first face that does not fit the box on its own, or null.
const Face* faceTooLarge(const Model& model, const SplitBox& box);

// How a part too large for the box is cut. Pieces grow greedily along
// folds, nearest faces first so that they stay compact, as long as they fit
// the box in some turn; then small pieces join a neighbour they fit with.
enum class SplitStrategy {
    // Each piece from the first face not yet taken in the part's placement
    // order, across long and sharp folds before short and flat ones.
    InPlacementOrder,
    // Each piece the largest of those grown from the faces at the rim of
    // what is left, so that the rest stays whole rather than in branches.
    FromTheRim,
    // As in placement order, from the last face placed: the tips of the
    // part's branches come first.
    FromTheLastPlaced,
};

// Parts whose faces fit the box stay whole; the others are split into
// pieces that each fit. Every face must fit on its own (faceTooLarge).
// Empty when cancelled.
std::vector<PieceFaces> splitToFit(const Model& model, const SplitBox& box, SplitStrategy strategy,
                                   const std::atomic<bool>* cancel, bool& cancelled);

} // namespace nettor
