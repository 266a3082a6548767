#include "pattern/pages_flaps.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace nettor {

namespace {

// Heights and insets of the flaps tried, as fractions of the flap height:
// the flap as drawn, then ever shorter and narrower ones.
struct Shape {
    double height, inset;
};
constexpr Shape kFullShape{1.0, 1.0};
constexpr Shape kSmallerShapes[] = {{1.0, 2.0}, {0.66, 0.66}, {0.66, 1.5}, {0.4, 0.4}, {0.4, 1.2}, {0.25, 0.5}};

// Test flaps are drawn this far inside the real ones, so that touching a
// face along the base or at a corner does not count as overlapping it.
constexpr double kTouchMm = 1e-5;

struct Box {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void add(MmPoint p)
    {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
};

Box boxOf(const std::vector<MmPoint>& polygon)
{
    Box b;
    for (const MmPoint& p : polygon) b.add(p);
    return b;
}

// The faces and the flaps of one piece, found by their boxes on a grid.
class PieceShapes {
public:
    PieceShapes(const std::vector<std::vector<MmPoint>>& faces, double reach)
    {
        Box all;
        for (const auto& f : faces)
            for (const MmPoint& p : f) all.add(p);
        origin_ = {all.x0 - reach, all.y0 - reach};
        const double w = all.x1 - all.x0 + 2 * reach, h = all.y1 - all.y0 + 2 * reach;
        const double meanSide = std::sqrt(std::max(w * h, 1e-12) / std::max<double>(faces.size(), 1.0));
        cell_ = std::max({meanSide, std::sqrt(w * h / 1e6), 1e-6});
        cols_ = std::max(1, static_cast<int>(w / cell_) + 1);
        rows_ = std::max(1, static_cast<int>(h / cell_) + 1);
        cells_.resize(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_));
        for (const auto& f : faces) add(f);
    }

    void add(const std::vector<MmPoint>& polygon)
    {
        const int id = static_cast<int>(shapes_.size());
        shapes_.push_back(polygon);
        boxes_.push_back(boxOf(polygon));
        seen_.push_back(0);
        forCells(boxes_.back(), [&](std::vector<int>& cell) { cell.push_back(id); });
    }

    bool overlaps(const std::vector<MmPoint>& convex)
    {
        ++stamp_;
        bool hit = false;
        const Box box = boxOf(convex);
        forCells(box, [&](std::vector<int>& cell) {
            for (int id : cell) {
                const auto i = static_cast<std::size_t>(id);
                if (hit || seen_[i] == stamp_) continue;
                seen_[i] = stamp_;
                // Shapes whose boxes do not meet share no interior.
                const Box& other = boxes_[i];
                if (other.x1 <= box.x0 || box.x1 <= other.x0 || other.y1 <= box.y0 || box.y1 <= other.y0) continue;
                hit = convexOverlapsPolygon(convex, shapes_[i]);
            }
        });
        return hit;
    }

private:
    template <typename Fn>
    void forCells(const Box& b, Fn&& fn)
    {
        const int cx0 = std::clamp(static_cast<int>(std::floor((b.x0 - origin_.x) / cell_)), 0, cols_ - 1);
        const int cx1 = std::clamp(static_cast<int>(std::floor((b.x1 - origin_.x) / cell_)), 0, cols_ - 1);
        const int cy0 = std::clamp(static_cast<int>(std::floor((b.y0 - origin_.y) / cell_)), 0, rows_ - 1);
        const int cy1 = std::clamp(static_cast<int>(std::floor((b.y1 - origin_.y) / cell_)), 0, rows_ - 1);
        for (int y = cy0; y <= cy1; ++y)
            for (int x = cx0; x <= cx1; ++x)
                fn(cells_[static_cast<std::size_t>(y) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(x)]);
    }

    MmPoint origin_;
    double cell_ = 1.0;
    int cols_ = 1, rows_ = 1;
    std::vector<std::vector<int>> cells_;
    std::vector<std::vector<MmPoint>> shapes_;
    std::vector<Box> boxes_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
};

struct Side {
    const HalfEdge* half = nullptr;
    int piece = -1;
};

} // namespace

std::optional<std::array<MmPoint, 4>> layoutFlapShape(MmPoint p0, MmPoint p3, double height, double inset)
{
    const double length = std::hypot(p3.x - p0.x, p3.y - p0.y);
    if (!(length > 1e-9) || !(height > 0.0)) return std::nullopt;
    const double dx = (p3.x - p0.x) / length, dy = (p3.y - p0.y) / length;
    const double nx = dy, ny = -dx; // outside the face
    if (2.0 * inset < length) {
        return std::array<MmPoint, 4>{p0, MmPoint{p0.x + inset * dx + height * nx, p0.y + inset * dy + height * ny},
                                      MmPoint{p3.x - inset * dx + height * nx, p3.y - inset * dy + height * ny}, p3};
    }
    const double h = height * (length / 2.0) / inset;
    const MmPoint apex{(p0.x + p3.x) / 2 + h * nx, (p0.y + p3.y) / 2 + h * ny};
    return std::array<MmPoint, 4>{p0, apex, apex, p3};
}

void chooseLayoutFlaps(const Settings& settings, PagesLayout& layout, const std::vector<int>& pieceOfFace)
{
    if (!settings.createFlaps || !(layout.flapHeightMm > 0.0)) return;
    const double h = layout.flapHeightMm;
    std::vector<PieceShapes> shapes;
    shapes.reserve(layout.pieces.size());
    for (const LaidOutPiece& piece : layout.pieces) {
        std::vector<std::vector<MmPoint>> faces;
        for (const Face* f : piece.faces) faces.push_back(layout.facePolygon(*f));
        shapes.emplace_back(faces, h);
    }
    auto pieceOf = [&](const HalfEdge& side) {
        const Face* f = side.loop ? side.loop->face : nullptr;
        if (!f || f->index < 0 || static_cast<std::size_t>(f->index) >= pieceOfFace.size()) return -1;
        return pieceOfFace[static_cast<std::size_t>(f->index)];
    };
    auto shapeOn = [&](const HalfEdge& side, Shape shape) {
        return layoutFlapShape(layout.local(*side.point), layout.local(*side.next->point), shape.height * h,
                               shape.inset * h);
    };
    auto testPolygon = [&](const HalfEdge& side, Shape shape) -> std::optional<std::vector<MmPoint>> {
        const MmPoint a = layout.local(*side.point), b = layout.local(*side.next->point);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (!(length > 4 * kTouchMm) || !(shape.height * h > 2 * kTouchMm)) return std::nullopt;
        const double dx = (b.x - a.x) / length, dy = (b.y - a.y) / length;
        const double nx = dy, ny = -dx;
        const MmPoint a2{a.x + kTouchMm * (nx + 2 * dx), a.y + kTouchMm * (ny + 2 * dy)};
        const MmPoint b2{b.x + kTouchMm * (nx - 2 * dx), b.y + kTouchMm * (ny - 2 * dy)};
        const auto q = layoutFlapShape(a2, b2, shape.height * h - 2 * kTouchMm, shape.inset * h);
        if (!q) return std::nullopt;
        std::vector<MmPoint> polygon{(*q)[0], (*q)[1]};
        if (!((*q)[2] == (*q)[1])) polygon.push_back((*q)[2]);
        polygon.push_back((*q)[3]);
        return polygon;
    };
    // Whether the flap fits; if so it is added to its piece.
    auto tryFlap = [&](const Side& side, Shape shape, FlapFit fit) {
        if (side.piece < 0) return false;
        const auto test = testPolygon(*side.half, shape);
        const auto real = shapeOn(*side.half, shape);
        if (!test || !real) return false;
        PieceShapes& piece = shapes[static_cast<std::size_t>(side.piece)];
        if (piece.overlaps(*test)) return false;
        std::vector<MmPoint> stored(real->begin(), real->end());
        piece.add(stored);
        layout.pieces[static_cast<std::size_t>(side.piece)].flaps.push_back({side.half, *real, fit});
        return true;
    };
    auto placeOneSide = [&](const Side& side) {
        if (tryFlap(side, kFullShape, FlapFit::AsDrawn)) return;
        for (const Shape& s : kSmallerShapes)
            if (tryFlap(side, s, FlapFit::Shortened)) {
                ++layout.flapsShortened;
                return;
            }
        ++layout.flapsOmitted;
    };

    std::unordered_set<const Edge*> done;
    for (const LaidOutPiece& piece : layout.pieces) {
        for (const Face* face : piece.faces) {
            for (const HalfEdge* half : face->outerLoop.halfEdges) {
                if (!half || !half->edge || layout.edgeNumber(*half->edge) < 0) continue;
                const HalfEdge* twin = half->twin;
                if (!twin || !twin->point || !twin->next || !twin->next->point) continue;
                if (!done.insert(half->edge).second) continue;
                Side first{half, pieceOf(*half)}, second{twin, pieceOf(*twin)};
                if (second.piece >= 0 && twin->loop->face->index < face->index) std::swap(first, second);
                if (second.piece < 0) second.half = nullptr;
                if (settings.flapsBothSides) {
                    placeOneSide(first);
                    if (second.half) placeOneSide(second);
                    continue;
                }
                if (tryFlap(first, kFullShape, FlapFit::AsDrawn)) continue;
                if (second.half && tryFlap(second, kFullShape, FlapFit::Moved)) {
                    ++layout.flapsMoved;
                    continue;
                }
                bool placed = false;
                for (const Side& side : {first, second}) {
                    if (!side.half || placed) continue;
                    for (const Shape& s : kSmallerShapes)
                        if (tryFlap(side, s, FlapFit::Shortened)) {
                            placed = true;
                            break;
                        }
                }
                if (placed) ++layout.flapsShortened;
                else ++layout.flapsOmitted;
            }
        }
    }
}

} // namespace nettor
