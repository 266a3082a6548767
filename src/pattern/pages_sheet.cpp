#include "pattern/pages_sheet.h"

#include "pattern/pages_misplaced.h"

#include <algorithm>
#include <cmath>

namespace nettor {

double zoomedPixelsPerMm(double current, double factor)
{
    return std::clamp(current * factor, kPagesMinPixelsPerMm, kPagesMaxPixelsPerMm);
}

double fittingPixelsPerMm(const PaperMm& paper, double widthPixels, double heightPixels)
{
    const double fit = std::min(heightPixels / (paper.height + 2 * kPagesSheetGapMm),
                                widthPixels / (2 * paper.width + 4 * kPagesSheetGapMm));
    return std::clamp(fit, kPagesMinPixelsPerMm, kPagesMaxPixelsPerMm);
}

MmPoint PagesSheet::pageOrigin(int page) const
{
    const int slot = std::max(page, 1) - 1;
    const int row = slot / columns, col = slot % columns;
    return {kPagesSheetGapMm + col * (paper.width + kPagesSheetGapMm),
            kPagesSheetGapMm + row * (paper.height + kPagesSheetGapMm)};
}

MmPoint PagesSheet::size() const
{
    const int slots = pageCount + 1;
    const int rows = (slots + columns - 1) / columns;
    const int cols = std::min(columns, slots);
    return {kPagesSheetGapMm + cols * (paper.width + kPagesSheetGapMm),
            kPagesSheetGapMm + rows * (paper.height + kPagesSheetGapMm)};
}

int PagesSheet::pageAt(MmPoint p) const
{
    const double stepX = paper.width + kPagesSheetGapMm, stepY = paper.height + kPagesSheetGapMm;
    const int col = std::clamp(static_cast<int>(std::floor((p.x - kPagesSheetGapMm / 2) / stepX)), 0, columns - 1);
    const int row = std::max(0, static_cast<int>(std::floor((p.y - kPagesSheetGapMm / 2) / stepY)));
    const int page = row * columns + col + 1;
    return std::min(page, pageCount + 1);
}

PagesSheet arrangePages(const PagesLayout& layout, double widthMm)
{
    PagesSheet sheet;
    sheet.paper = layout.paper;
    sheet.pageCount = std::max(layout.pageCount, 1);
    const double step = layout.paper.width + kPagesSheetGapMm;
    const int fit = step > 0.0 ? static_cast<int>(std::floor((widthMm - kPagesSheetGapMm) / step + 1e-9)) : 1;
    sheet.columns = std::clamp(fit, 1, sheet.pageCount + 1);
    return sheet;
}

int pieceAt(const PagesLayout& layout, int page, MmPoint onPage)
{
    for (int i = static_cast<int>(layout.pieces.size()) - 1; i >= 0; --i) {
        const LaidOutPiece& piece = layout.pieces[static_cast<std::size_t>(i)];
        if (piece.page != page) continue;
        for (const auto& shape : pieceShapesOnPage(layout, piece))
            if (insidePolygon(onPage, shape)) return i;
    }
    return -1;
}

MmPoint pieceCentre(const PagesLayout& layout, const LaidOutPiece& piece)
{
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Face* f : piece.faces)
        for (const MmPoint p : layout.facePolygon(*f)) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1) return {};
    return {(x0 + x1) / 2, (y0 + y1) / 2};
}

MmPoint offsetAfterTurn(const PagesLayout& layout, const LaidOutPiece& piece, double rotationDeg)
{
    const MmPoint c = pieceCentre(layout, piece);
    const MmPoint at = piece.onPage(c);
    const MmPoint t = turned(c, rotationDeg);
    return {at.x - t.x, at.y - t.y};
}

} // namespace nettor
