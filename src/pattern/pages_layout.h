#pragma once
// The Pages layout: the finished pattern laid out at real size on pages of
// paper, every part whole on one page. Parts too large for a page are split
// along folds; glue flaps are chosen so that they overlap nothing.
//
// The layout reads the finished unfolding and never changes it: its own
// cuts, flap choices, pages, turns and offsets live in the PagesLayout.
#include "model/mesh.h"
#include "pattern/pages_geometry.h"
#include "state/pages_settings.h"
#include "state/settings.h"

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace nettor {

enum class FlapFit { AsDrawn, Moved, Shortened };

// A glue flap of the layout, in the piece's own millimetres (before its turn
// and offset): the base from corners[0] to corners[3] lies on the side, the
// other corners outside its face. corners[1] == corners[2] for a pointed
// flap.
struct LayoutFlap {
    const HalfEdge* side = nullptr;
    std::array<MmPoint, 4> corners{};
    FlapFit fit = FlapFit::AsDrawn;
};

// One piece on a page: a whole part, or a piece of a part split to fit.
struct LaidOutPiece {
    int part = 0;                   // index into the model's parts
    std::vector<const Face*> faces; // in the part's placement order
    int page = 1;                   // from 1
    double rotationDeg = 0.0;
    MmPoint offset;                 // where the part's pattern origin lies on the page
    std::vector<LayoutFlap> flaps;
    bool movedByUser = false;       // placed by hand: repacking leaves it be

    // A point in the piece's own millimetres, on its page.
    MmPoint onPage(MmPoint local) const;
};

struct PagesLayout {
    PagesSettings settings;
    PaperMm paper;
    double mmPerUnit = 0.0;   // paper mm per normalised model unit
    double flapHeightMm = 0.0;
    int pageCount = 0;
    std::vector<LaidOutPiece> pieces; // by page, then in the order placed

    // Folds cut to split a part, with the numbers they carry.
    std::unordered_map<const Edge*, int> splitNumbers;
    int partsSplit = 0;
    int flapsMoved = 0;
    int flapsShortened = 0;
    int flapsOmitted = 0;

    // A pattern point in the piece's own millimetres.
    MmPoint local(const PatternPoint& p) const { return {p.x * mmPerUnit, p.y * mmPerUnit}; }
    // The corners of a placed face in its piece's own millimetres.
    std::vector<MmPoint> facePolygon(const Face& face) const;
    // The number a cut carries on the pages (the model's, or the split's);
    // -1 for folds and borders.
    int edgeNumber(const Edge& edge) const;
    // Whether the side is joined to its neighbour in the same piece.
    bool joined(const HalfEdge& side) const;
    // The piece's outline with its flaps, on its page: the outer boundary of
    // its faces, each flapped side replaced by its flap.
    std::vector<MmPoint> outline(const LaidOutPiece& piece) const;
};

struct PagesInput {
    const Model& model;
    const Settings& settings; // flaps on or off, their size, both sides
    const PagesSettings& pages;
    const std::atomic<bool>* cancel = nullptr;
};

struct PagesResult {
    std::optional<PagesLayout> layout; // none on a problem or when cancelled
    std::string message;               // the problem, for the user
    bool cancelled = false;
    // A face too large for the paper: the largest finished size (mm, to a
    // tenth) at which every face fits, as the message names it; else 0.
    double largestFittingSizeMm = 0.0;
};

// Paper mm per normalised model unit for these settings: the finished size
// over the model's longest side, or the scale in cm per model unit.
double pagesMmPerUnit(const Model& model, const PagesSettings& pages);

// Lays out the finished unfolding of the model. Deterministic: the same
// model and settings give the same layout.
PagesResult layOutPages(const PagesInput& input);

} // namespace nettor
