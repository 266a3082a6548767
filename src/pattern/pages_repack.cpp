#include "pattern/pages_repack.h"

#include "pattern/pages_packing.h"

#include <algorithm>
#include <cmath>

namespace nettor {

namespace {

struct RepackGrid {
    double cell = 1.0;
    double margin = 0.0;
    int cols = 0, rows = 0;
};

// Sets the cells of `mask` placed at (x, y) in `page`, clipped to it.
void stampCells(CellMask& page, const CellMask& mask, int x, int y)
{
    for (int j = 0; j < mask.height(); ++j) {
        const int py = y + j;
        if (py < 0 || py >= page.height()) continue;
        for (int i = 0; i < mask.width(); ++i) {
            const int px = x + i;
            if (px >= 0 && px < page.width() && mask.get(i, j)) page.set(px, py);
        }
    }
}

struct RepackRuns {
    std::vector<std::vector<std::pair<int, int>>> rows; // set runs of each row
};

RepackRuns runsOf(const CellMask& mask)
{
    RepackRuns runs;
    runs.rows.resize(static_cast<std::size_t>(mask.height()));
    for (int y = 0; y < mask.height(); ++y) {
        int x = 0;
        while (x < mask.width()) {
            if (!mask.get(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end + 1 < mask.width() && mask.get(end + 1, y)) ++end;
            runs.rows[static_cast<std::size_t>(y)].push_back({x, end});
            x = end + 1;
        }
    }
    return runs;
}

bool runsFree(const CellMask& page, const RepackRuns& runs, int x, int y)
{
    for (std::size_t j = 0; j < runs.rows.size(); ++j)
        for (const auto& [a, b] : runs.rows[j])
            for (int i = a; i <= b; ++i)
                if (page.get(x + i, y + static_cast<int>(j))) return false;
    return true;
}

struct RepackTurn {
    double degrees = 0.0;
    Raster raster;
    RepackRuns runs;
};

} // namespace

bool repackAroundFixed(PagesLayout& layout, const std::vector<char>& fixed)
{
    RepackGrid grid;
    grid.margin = layout.settings.marginMm;
    grid.cell = packingCellMm(layout.paper, grid.margin);
    grid.cols = static_cast<int>(std::floor((layout.paper.width - 2 * grid.margin) / grid.cell + 1e-9));
    grid.rows = static_cast<int>(std::floor((layout.paper.height - 2 * grid.margin) / grid.cell + 1e-9));
    if (grid.cols < 1 || grid.rows < 1) return false;
    const int gap = static_cast<int>(std::ceil(kPagesGapMm / grid.cell - 1e-9));

    const auto localShapes = [&](const LaidOutPiece& piece) {
        std::vector<std::vector<MmPoint>> shapes;
        for (const Face* f : piece.faces) shapes.push_back(layout.facePolygon(*f));
        for (const LayoutFlap& flap : piece.flaps) shapes.push_back({flap.corners.begin(), flap.corners.end()});
        return shapes;
    };

    std::vector<CellMask> pages;
    const auto pageMask = [&](int page) -> CellMask& {
        while (static_cast<int>(pages.size()) < page) pages.emplace_back(grid.cols, grid.rows);
        return pages[static_cast<std::size_t>(page - 1)];
    };
    for (std::size_t i = 0; i < layout.pieces.size(); ++i) {
        if (!fixed[i]) continue;
        const LaidOutPiece& piece = layout.pieces[i];
        const Raster r = rasterize(localShapes(piece), piece.rotationDeg, grid.cell);
        // The cell the raster's corner lies in, a cell more on each side for
        // the offset that falls between cells.
        const int x = static_cast<int>(std::floor((r.origin.x + piece.offset.x - grid.margin) / grid.cell));
        const int y = static_cast<int>(std::floor((r.origin.y + piece.offset.y - grid.margin) / grid.cell));
        stampCells(pageMask(piece.page), r.mask.grown(gap + 1), x - gap - 1, y - gap - 1);
    }

    std::vector<LaidOutPiece> placed = layout.pieces;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (fixed[i]) continue;
        LaidOutPiece& piece = placed[i];
        const auto shapes = localShapes(piece);
        std::vector<MmPoint> all;
        for (const auto& s : shapes) all.insert(all.end(), s.begin(), s.end());
        const double base = smallestBoxTurn(convexHull(all));
        std::vector<RepackTurn> turns;
        for (const double start : {base, piece.rotationDeg})
            for (int q = 0; q < 4; ++q) {
                RepackTurn t;
                t.degrees = std::fmod(start + 90.0 * q, 360.0);
                t.raster = rasterize(shapes, t.degrees, grid.cell);
                if (t.raster.mask.width() > grid.cols || t.raster.mask.height() > grid.rows) continue;
                t.runs = runsOf(t.raster.mask);
                turns.push_back(std::move(t));
            }
        if (turns.empty()) return false;
        bool done = false;
        for (int page = 1; !done; ++page) {
            CellMask& mask = pageMask(page);
            for (int y = 0; y < grid.rows && !done; ++y)
                for (int x = 0; x < grid.cols && !done; ++x)
                    for (const RepackTurn& t : turns) {
                        if (x + t.raster.mask.width() > grid.cols || y + t.raster.mask.height() > grid.rows) continue;
                        if (!runsFree(mask, t.runs, x, y)) continue;
                        piece.page = page;
                        piece.rotationDeg = t.degrees;
                        piece.offset = {grid.margin + x * grid.cell - t.raster.origin.x,
                                        grid.margin + y * grid.cell - t.raster.origin.y};
                        stampCells(mask, t.raster.mask.grown(gap), x - gap, y - gap);
                        done = true;
                        break;
                    }
        }
    }
    // The pieces keep their order, so that a selection still names its
    // piece; empty pages at the end go.
    int last = 1;
    for (const LaidOutPiece& p : placed) last = std::max(last, p.page);
    layout.pieces = std::move(placed);
    layout.pageCount = last;
    return true;
}

} // namespace nettor
