#pragma once
// The pages of a Pages layout as the pattern view shows them: side by side
// in rows, a gap between them, with room after the last page for a new one.
// Positions are millimetres on this arrangement; the view scales them.
#include "pattern/pages_layout.h"

namespace nettor {

inline constexpr double kPagesSheetGapMm = 12.0;
inline constexpr double kPagesMinPixelsPerMm = 0.1;
inline constexpr double kPagesMaxPixelsPerMm = 40.0;
inline constexpr double kPagesZoomStep = 1.25;

// The zoom of the pages on screen after a zoom by factor, within limits.
double zoomedPixelsPerMm(double current, double factor);
// The zoom at which a page's height fills a view of widthPixels by
// heightPixels, or two pages its width, whichever is smaller.
double fittingPixelsPerMm(const PaperMm& paper, double widthPixels, double heightPixels);

struct PagesSheet {
    PaperMm paper;
    int pageCount = 1;
    int columns = 1;

    // The top-left corner of page (from 1; pageCount + 1 is the new page).
    MmPoint pageOrigin(int page) const;
    // The extent of the whole arrangement, the new page's place included.
    MmPoint size() const;
    // The page under the point: one of the pages, or pageCount + 1 for any
    // place after the last page.
    int pageAt(MmPoint p) const;
};

// The arrangement that fits the pages in rows across widthMm.
PagesSheet arrangePages(const PagesLayout& layout, double widthMm);

// The piece under a point of a page, faces and flaps; the last drawn (the
// topmost) first. -1 for none.
int pieceAt(const PagesLayout& layout, int page, MmPoint onPage);

// The middle of a piece's box, in its own millimetres: what it turns about.
MmPoint pieceCentre(const PagesLayout& layout, const LaidOutPiece& piece);

// The offset that keeps the piece's centre where it is on its page once
// it is turned to rotationDeg.
MmPoint offsetAfterTurn(const PagesLayout& layout, const LaidOutPiece& piece, double rotationDeg);

} // namespace nettor
