#include "pattern/pages_misplaced.h"

#include <algorithm>

namespace nettor {

namespace {

struct MisplacedBox {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void add(MmPoint p)
    {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    bool meets(const MisplacedBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

struct PlacedShapes {
    std::vector<std::vector<MmPoint>> shapes;
    std::vector<MisplacedBox> boxes; // one for each shape
    MisplacedBox all;
};

// Whether two convex shapes (faces and flaps are) share interior.
bool shapesOverlap(const PlacedShapes& a, const PlacedShapes& b)
{
    if (!a.all.meets(b.all)) return false;
    for (std::size_t i = 0; i < a.shapes.size(); ++i) {
        if (!a.boxes[i].meets(b.all)) continue;
        for (std::size_t j = 0; j < b.shapes.size(); ++j)
            if (a.boxes[i].meets(b.boxes[j]) && convexOverlapsPolygon(a.shapes[i], b.shapes[j])) return true;
    }
    return false;
}

} // namespace

std::vector<std::vector<MmPoint>> pieceShapesOnPage(const PagesLayout& layout, const LaidOutPiece& piece)
{
    std::vector<std::vector<MmPoint>> shapes;
    shapes.reserve(piece.faces.size() + piece.flaps.size());
    for (const Face* face : piece.faces) {
        std::vector<MmPoint> polygon = layout.facePolygon(*face);
        for (MmPoint& p : polygon) p = piece.onPage(p);
        shapes.push_back(std::move(polygon));
    }
    for (const LayoutFlap& flap : piece.flaps) {
        std::vector<MmPoint> polygon;
        for (std::size_t k = 0; k < flap.corners.size(); ++k)
            if (k != 2 || !(flap.corners[2] == flap.corners[1])) polygon.push_back(piece.onPage(flap.corners[k]));
        shapes.push_back(std::move(polygon));
    }
    return shapes;
}

std::vector<char> misplacedPieces(const PagesLayout& layout)
{
    constexpr double kSlackMm = 1e-6;
    const double m = layout.settings.marginMm;
    const MisplacedBox printable{m - kSlackMm, m - kSlackMm, layout.paper.width - m + kSlackMm,
                                 layout.paper.height - m + kSlackMm};
    const std::size_t n = layout.pieces.size();
    std::vector<char> misplaced(n, 0);
    std::vector<PlacedShapes> placed(n);
    for (std::size_t i = 0; i < n; ++i) {
        PlacedShapes& p = placed[i];
        p.shapes = pieceShapesOnPage(layout, layout.pieces[i]);
        for (const auto& shape : p.shapes) {
            MisplacedBox box;
            for (MmPoint q : shape) box.add(q);
            p.boxes.push_back(box);
            for (MmPoint q : shape) p.all.add(q);
        }
        const MisplacedBox& b = p.all;
        if (b.x0 < printable.x0 || b.y0 < printable.y0 || b.x1 > printable.x1 || b.y1 > printable.y1)
            misplaced[i] = 1;
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            if (layout.pieces[i].page != layout.pieces[j].page) continue;
            if (shapesOverlap(placed[i], placed[j])) misplaced[i] = misplaced[j] = 1;
        }
    return misplaced;
}

} // namespace nettor
