#pragma once
// Flat faces made ready for many overlap tests. facesOverlap works out each
// face's box, area, convex pieces and side directions on every call; here
// they are worked out once per face, and a test of two kept faces only
// projects one onto the other's side directions. The verdicts are those of
// facesOverlap for the same corners, bit for bit.
#include "model/unfold_records.h"
#include "unfold/box_grid.h"

#include <cstdint>
#include <span>
#include <vector>

namespace nettor {

class FlatShapes {
public:
    using Id = std::uint32_t;

    // Keeps a face given by its corners in loop order, as facesOverlap takes
    // them; the ids count up from 0 after each clear.
    Id add(std::span<const PatternPoint> corners);
    void clear();
    std::size_t size() const { return shapes_.size(); }

    // facesOverlap(corners of a, corners of b, tolerance).
    static bool overlap(const FlatShapes& setA, Id a, const FlatShapes& setB, Id b, double tolerance);

private:
    // A direction square to a side of a piece, of unit length, with the
    // piece's extent along it.
    struct Side {
        double nx, ny, low, high;
    };
    struct Piece {
        std::uint32_t firstPoint, pointCount, firstSide, sideCount;
        GridBox box;
        double absTwiceArea; // a piece this small against its longest side is too thin to overlap
        double longest;
    };
    struct Shape {
        std::uint32_t firstPiece = 0, pieceCount = 0;
        GridBox box{};
        bool testable = false; // at least three finite corners and an area
    };
    void addPiece(std::span<const PatternPoint> corners);
    static bool piecesOverlap(const FlatShapes& setA, const Piece& a, const FlatShapes& setB, const Piece& b,
                              double tolerance);
    static bool separatedAlongSides(const FlatShapes& setA, const Piece& a, const FlatShapes& setB, const Piece& b,
                                    double tolerance);

    std::vector<PatternPoint> points_;
    std::vector<Side> sides_;
    std::vector<Piece> pieces_;
    std::vector<Shape> shapes_;
    std::vector<PatternPoint> triangles_; // scratch of add
};

} // namespace nettor
