#include "unfold/flat_shapes.h"

#include "unfold/polygon_pieces.h"

#include <algorithm>
#include <cmath>

namespace nettor {

void FlatShapes::clear()
{
    points_.clear();
    sides_.clear();
    pieces_.clear();
    shapes_.clear();
}

void FlatShapes::addPiece(std::span<const PatternPoint> p)
{
    Piece piece;
    piece.firstPoint = static_cast<std::uint32_t>(points_.size());
    piece.pointCount = static_cast<std::uint32_t>(p.size());
    piece.firstSide = static_cast<std::uint32_t>(sides_.size());
    piece.box = boxOfCorners(p);
    piece.absTwiceArea = std::abs(twiceSignedArea(p));
    piece.longest = 0.0;
    points_.insert(points_.end(), p.begin(), p.end());
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const PatternPoint& s = p[i];
        const PatternPoint& t = p[(i + 1) % n];
        const double dx = t.x - s.x, dy = t.y - s.y;
        const double len = std::hypot(dx, dy);
        piece.longest = std::max(piece.longest, len);
        if (!(len > 0.0)) continue; // no direction: it separates nothing
        Side side{-dy / len, dx / len, 0.0, 0.0};
        side.low = side.nx * p[0].x + side.ny * p[0].y;
        side.high = side.low;
        for (const PatternPoint& q : p) {
            const double d = side.nx * q.x + side.ny * q.y;
            side.low = std::min(side.low, d);
            side.high = std::max(side.high, d);
        }
        sides_.push_back(side);
    }
    piece.sideCount = static_cast<std::uint32_t>(sides_.size()) - piece.firstSide;
    pieces_.push_back(piece);
}

FlatShapes::Id FlatShapes::add(std::span<const PatternPoint> corners)
{
    const auto id = static_cast<Id>(shapes_.size());
    Shape shape;
    shape.firstPiece = static_cast<std::uint32_t>(pieces_.size());
    bool finite = corners.size() >= 3;
    for (const PatternPoint& q : corners) finite = finite && std::isfinite(q.x) && std::isfinite(q.y);
    const double area = finite ? twiceSignedArea(corners) : 0.0;
    if (finite && area != 0.0) {
        shape.testable = true;
        shape.box = boxOfCorners(corners);
        const double sense = area > 0.0 ? 1.0 : -1.0;
        if (isConvexPolygon(corners, sense)) {
            addPiece(corners);
        } else {
            triangles_.clear();
            triangulatePolygon(corners, sense, triangles_);
            for (std::size_t i = 0; i + 3 <= triangles_.size(); i += 3)
                addPiece(std::span<const PatternPoint>(triangles_.data() + i, 3));
        }
    }
    shape.pieceCount = static_cast<std::uint32_t>(pieces_.size()) - shape.firstPiece;
    shapes_.push_back(shape);
    return id;
}

// Some side of a gives a direction in which the extents of a and b overlap
// by no more than tolerance.
bool FlatShapes::separatedAlongSides(const FlatShapes& setA, const Piece& a, const FlatShapes& setB,
                                     const Piece& b, double tolerance)
{
    const PatternPoint* q0 = setB.points_.data() + b.firstPoint;
    const PatternPoint* qEnd = q0 + b.pointCount;
    for (std::uint32_t i = 0; i < a.sideCount; ++i) {
        const Side& side = setA.sides_[a.firstSide + i];
        double minB = side.nx * q0->x + side.ny * q0->y, maxB = minB;
        for (const PatternPoint* q = q0; q != qEnd; ++q) {
            const double d = side.nx * q->x + side.ny * q->y;
            minB = std::min(minB, d);
            maxB = std::max(maxB, d);
        }
        if (std::min(side.high, maxB) - std::max(side.low, minB) <= tolerance) return true;
    }
    return false;
}

bool FlatShapes::piecesOverlap(const FlatShapes& setA, const Piece& a, const FlatShapes& setB, const Piece& b,
                               double tolerance)
{
    // A convex piece no wider than tolerance cannot overlap anything deeper;
    // its width is at most twice its area over its longest side.
    if (!(a.absTwiceArea > tolerance * a.longest) || !(b.absTwiceArea > tolerance * b.longest)) return false;
    return !separatedAlongSides(setA, a, setB, b, tolerance) && !separatedAlongSides(setB, b, setA, a, tolerance);
}

bool FlatShapes::overlap(const FlatShapes& setA, Id a, const FlatShapes& setB, Id b, double tolerance)
{
    const Shape& sa = setA.shapes_[a];
    const Shape& sb = setB.shapes_[b];
    if (!sa.testable || !sb.testable || boxesApart(sa.box, sb.box, tolerance)) return false;
    for (std::uint32_t i = 0; i < sa.pieceCount; ++i) {
        const Piece& pa = setA.pieces_[sa.firstPiece + i];
        for (std::uint32_t j = 0; j < sb.pieceCount; ++j) {
            const Piece& pb = setB.pieces_[sb.firstPiece + j];
            if (boxesApart(pa.box, pb.box, tolerance)) continue;
            if (piecesOverlap(setA, pa, setB, pb, tolerance)) return true;
        }
    }
    return false;
}

} // namespace nettor
