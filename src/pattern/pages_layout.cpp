#include "pattern/pages_layout.h"

#include "pattern/pages_flaps.h"
#include "pattern/pages_packing.h"
#include "pattern/pages_split.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace nettor {

namespace {

// Models up to this many faces are split both ways when a part needs it.
constexpr int kBothSplitsFaces = 40000;

double flapHeightFactor(const Settings& settings)
{
    if (settings.flapSize == static_cast<std::int32_t>(FlapSize::Large)) return 0.18;
    if (settings.flapSize == static_cast<std::int32_t>(FlapSize::Small)) return 0.05;
    return 0.1;
}

double longestSide(const Model& model)
{
    Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const auto& object : model.objects)
        for (const Vertex* v : object->vertices) {
            lo = {std::min(lo.x, v->position.x), std::min(lo.y, v->position.y), std::min(lo.z, v->position.z)};
            hi = {std::max(hi.x, v->position.x), std::max(hi.y, v->position.y), std::max(hi.z, v->position.z)};
        }
    if (lo.x > hi.x) return 0.0;
    return std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
}

bool finished(const Model& model)
{
    if (model.parts.empty()) return false;
    for (const auto& object : model.objects)
        for (const Face* f : object->faces)
            if (!f->part) return false;
    return true;
}

std::string format(const char* pattern, double value)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

// The largest paper mm per unit at which the face, with flaps of the given
// height per unit, fits the box whose sides lose `fixed` mm.
double largestFittingScale(const Face& face, double width, double height, double flapPerUnit)
{
    DirectionSpread spread;
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (h && h->point) spread.add({h->point->x, h->point->y});
    constexpr int n = DirectionSpread::kDirections;
    double best = 0.0;
    for (int k = 0; k < n; ++k) {
        const double a = spread.extent(k) + 2 * flapPerUnit, b = spread.extent((k + n / 2) % n) + 2 * flapPerUnit;
        best = std::max({best, std::min(width / a, height / b), std::min(height / a, width / b)});
    }
    return best;
}

// The pieces of one way of splitting, with their flaps, packed on pages.
struct Attempt {
    PagesLayout layout;
    PackResult packed;
    bool cancelled = false;
};

Attempt layOutWith(const PagesInput& input, const PagesLayout& base, const SplitBox& box, SplitStrategy strategy)
{
    const Model& model = input.model;
    Attempt attempt;
    PagesLayout& layout = attempt.layout;
    layout = base;
    bool cancelled = false;
    std::vector<PieceFaces> split = splitToFit(model, box, strategy, input.cancel, cancelled);
    if (cancelled) {
        attempt.cancelled = true;
        return attempt;
    }
    std::vector<int> pieceOfFace(static_cast<std::size_t>(std::max(model.faceCount, 0)), -1);
    std::vector<int> piecesOfPart(model.parts.size(), 0);
    std::vector<double> fitTurns;
    for (std::size_t i = 0; i < split.size(); ++i) {
        LaidOutPiece piece;
        piece.part = split[i].part;
        piece.faces = split[i].faces;
        for (const Face* f : piece.faces) pieceOfFace[static_cast<std::size_t>(f->index)] = static_cast<int>(i);
        ++piecesOfPart[static_cast<std::size_t>(piece.part)];
        fitTurns.push_back(split[i].fitTurn);
        layout.pieces.push_back(std::move(piece));
    }
    for (int n : piecesOfPart) layout.partsSplit += n > 1;

    // The folds cut by the splitting are numbered after the model's cuts.
    int number = 0;
    for (const auto& object : model.objects)
        for (const Edge* e : object->edges) number = std::max(number, e->edgeId);
    for (const LaidOutPiece& piece : layout.pieces)
        for (const Face* f : piece.faces)
            for (const HalfEdge* h : f->outerLoop.halfEdges) {
                if (!h || !h->foldPartner || layout.splitNumbers.count(h->edge)) continue;
                const Face* other = h->foldPartner->loop->face;
                if (pieceOfFace[static_cast<std::size_t>(other->index)] != pieceOfFace[static_cast<std::size_t>(f->index)])
                    layout.splitNumbers[h->edge] = ++number;
            }

    chooseLayoutFlaps(input.settings, layout, pieceOfFace);

    std::vector<PackItem> items(layout.pieces.size());
    for (std::size_t i = 0; i < layout.pieces.size(); ++i) {
        const LaidOutPiece& piece = layout.pieces[i];
        for (const Face* f : piece.faces) items[i].shapes.push_back(layout.facePolygon(*f));
        for (const LayoutFlap& flap : piece.flaps)
            items[i].shapes.push_back({flap.corners.begin(), flap.corners.end()});
        items[i].fitTurn = fitTurns[i];
    }
    attempt.packed = packPieces(items, layout.paper, input.pages.marginMm, input.cancel);
    attempt.cancelled = attempt.packed.cancelled;
    if (attempt.cancelled || attempt.packed.tooManyPages || attempt.packed.doesNotFit) return attempt;
    const PackResult& packed = attempt.packed;
    std::vector<LaidOutPiece> ordered;
    ordered.reserve(layout.pieces.size());
    for (const int index : packed.order) {
        LaidOutPiece piece = std::move(layout.pieces[static_cast<std::size_t>(index)]);
        const PackPlacement& placement = packed.placements[static_cast<std::size_t>(index)];
        piece.page = placement.page;
        piece.rotationDeg = placement.rotationDeg;
        piece.offset = placement.offset;
        ordered.push_back(std::move(piece));
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const LaidOutPiece& a, const LaidOutPiece& b) { return a.page < b.page; });
    layout.pieces = std::move(ordered);
    layout.pageCount = packed.pageCount;
    return attempt;
}

} // namespace

MmPoint LaidOutPiece::onPage(MmPoint local) const
{
    const MmPoint t = turned(local, rotationDeg);
    return {t.x + offset.x, t.y + offset.y};
}

std::vector<MmPoint> PagesLayout::facePolygon(const Face& face) const
{
    std::vector<MmPoint> corners;
    corners.reserve(face.outerLoop.halfEdges.size());
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (h && h->point) corners.push_back(local(*h->point));
    return corners;
}

int PagesLayout::edgeNumber(const Edge& edge) const
{
    if (edge.edgeId != -1) return edge.edgeId;
    const auto it = splitNumbers.find(&edge);
    return it == splitNumbers.end() ? -1 : it->second;
}

bool PagesLayout::joined(const HalfEdge& side) const
{
    return side.foldPartner && side.edge && !splitNumbers.count(side.edge);
}

std::vector<MmPoint> PagesLayout::outline(const LaidOutPiece& piece) const
{
    // The sides on the piece's boundary, walked from side to next side
    // around each corner, flapped sides replaced by their flaps.
    std::unordered_map<const HalfEdge*, const LayoutFlap*> flapOf;
    for (const LayoutFlap& flap : piece.flaps) flapOf[flap.side] = &flap;
    std::unordered_map<const HalfEdge*, char> visited;
    std::vector<MmPoint> best;
    double bestArea = -1.0;
    for (const Face* face : piece.faces) {
        for (const HalfEdge* start : face->outerLoop.halfEdges) {
            if (!start || !start->point || joined(*start) || visited.count(start)) continue;
            std::vector<MmPoint> loop;
            const HalfEdge* side = start;
            std::size_t guard = 0;
            while (side && !visited.count(side) && guard++ < 4 * (piece.faces.size() + 1) * 8) {
                visited[side] = 1;
                const auto flap = flapOf.find(side);
                if (flap != flapOf.end()) {
                    const auto& c = flap->second->corners;
                    loop.push_back(c[0]);
                    loop.push_back(c[1]);
                    if (!(c[2] == c[1])) loop.push_back(c[2]);
                } else {
                    loop.push_back(local(*side->point));
                }
                // The next boundary side: turn about the end corner across
                // joined sides.
                const HalfEdge* next = side->next;
                std::size_t turns = 0;
                while (next && joined(*next) && turns++ < 64) next = next->foldPartner->next;
                side = next;
            }
            const double area = std::abs(doubleArea(loop));
            if (area > bestArea) {
                bestArea = area;
                best = std::move(loop);
            }
        }
    }
    for (MmPoint& p : best) p = piece.onPage(p);
    return best;
}

double pagesMmPerUnit(const Model& model, const PagesSettings& pages)
{
    if (pages.sizeMode == ModelSizeMode::Scale)
        return model.unitScale != 0.0 ? pages.cmPerUnit * 10.0 / model.unitScale : 0.0;
    const double side = longestSide(model);
    return side > 0.0 ? pages.finishedSizeMm / side : 0.0;
}

PagesResult layOutPages(const PagesInput& input)
{
    PagesResult result;
    const Model& model = input.model;
    if (const auto problem = pagesSettingsProblem(input.pages)) {
        result.message = *problem;
        return result;
    }
    if (!finished(model)) {
        result.message = "There is no unfolded patterns.";
        return result;
    }
    PagesLayout layout;
    layout.settings = input.pages;
    layout.paper = paperMm(input.pages);
    layout.mmPerUnit = pagesMmPerUnit(model, input.pages);
    const double s = layout.mmPerUnit;
    if (!std::isfinite(s) || s <= 0.0) {
        result.message = "The model has no extent to give a size to.";
        return result;
    }
    const double side = longestSide(model);
    if (side * s > kMaxFinishedSizeMm) {
        result.message = format("The finished size of %.0f mm is too large.", side * s);
        return result;
    }
    const double margin = input.pages.marginMm;
    const double printW = layout.paper.width - 2 * margin, printH = layout.paper.height - 2 * margin;
    const double flapFactor = input.settings.createFlaps ? flapHeightFactor(input.settings) : 0.0;
    layout.flapHeightMm = flapFactor * model.averageEdgeLength * s;

    // At least the faces' area over the printable area.
    double faceArea = 0.0;
    for (const auto& part : model.parts)
        for (const Face* f : part->faces) faceArea += std::abs(doubleArea(layout.facePolygon(*f))) / 2.0;
    const double lowerBound = std::ceil(faceArea / (printW * printH) - 1e-9);
    if (lowerBound > kMaxPages) {
        result.message = format("This layout would need at least %.0f pages; at most 10000 are allowed. "
                                "Choose a smaller size or larger paper.",
                                lowerBound);
        return result;
    }

    // The box a piece's faces must fit: the page's cells, less the flaps
    // on both sides and a cell on each side for the cells' rounding.
    const double cell = packingCellMm(layout.paper, margin);
    const double gridW = std::floor(printW / cell + 1e-9) * cell, gridH = std::floor(printH / cell + 1e-9) * cell;
    const double reserve = 2 * cell + 1e-3;
    SplitBox box{gridW - reserve - 2 * layout.flapHeightMm, gridH - reserve - 2 * layout.flapHeightMm, s};
    if (const Face* face = box.width > 0 && box.height > 0 ? faceTooLarge(model, box) : model.parts.front()->faces.front()) {
        double largest = 1e300;
        for (const auto& part : model.parts)
            for (const Face* f : part->faces)
                largest = std::min(largest, largestFittingScale(*f, gridW - reserve, gridH - reserve,
                                                                flapFactor * model.averageEdgeLength));
        const double size = std::floor(largest * side * 10.0) / 10.0;
        if (size > 0.0) result.largestFittingSizeMm = size;
        result.message = "Face " + std::to_string(face->index + 1) +
                         " with its flaps does not fit on the paper at this size. The largest finished size that fits on " +
                         paperName(input.pages) + (input.pages.landscape ? " landscape" : "") +
                         format(" is %.1f mm.", size);
        return result;
    }

    // Parts too large for a page are split one way and then the other on
    // models small enough for both; the one on fewer pages is kept.
    Attempt attempt = layOutWith(input, layout, box, SplitStrategy::InPlacementOrder);
    auto usable = [](const Attempt& a) {
        return !a.cancelled && !a.packed.tooManyPages && !a.packed.doesNotFit;
    };
    if (usable(attempt) && attempt.layout.partsSplit > 0 && model.faceCount <= kBothSplitsFaces) {
        for (const SplitStrategy strategy : {SplitStrategy::FromTheRim, SplitStrategy::FromTheLastPlaced}) {
            if (attempt.layout.pageCount <= lowerBound) break; // no fewer pages to be had
            Attempt other = layOutWith(input, layout, box, strategy);
            if (other.cancelled || (usable(other) && other.layout.pageCount < attempt.layout.pageCount))
                attempt = std::move(other);
            if (attempt.cancelled) break;
        }
    }
    if (attempt.cancelled) {
        result.cancelled = true;
        return result;
    }
    const PackResult& packed = attempt.packed;
    if (packed.tooManyPages) {
        // The pages filled so far, for all the pieces.
        const double pieces = static_cast<double>(packed.placements.size());
        const double estimate = std::max({lowerBound, kMaxPages + 1.0,
                                          std::ceil(kMaxPages * pieces / std::max(packed.placedBeforeStop, 1))});
        result.message = format("This layout would need about %.0f pages; at most 10000 are allowed. "
                                "Choose a smaller size or larger paper.",
                                estimate);
        return result;
    }
    if (packed.doesNotFit) {
        result.message = "A part does not fit on the paper at this size.";
        return result;
    }
    result.layout = std::move(attempt.layout);
    return result;
}

} // namespace nettor
