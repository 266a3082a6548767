// The reference engine's completion: arrangement by trying every position
// against the placed parts, numbering, corner separation and scale.
#include "support/reference_engine/reference_engine.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "support/reference_engine/outline_overlap.h"
#include "unfold/overlap.h"
#include "unfold/box_grid.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace nettor::reference {




namespace {

constexpr double kInflation = 1.15;
constexpr double kPortrait = 1.414;

struct Rect {
    double x0, y0, x1, y1;
};

bool pointInRect(double px, double py, const Rect& r)
{
    return r.x0 <= px && px <= r.x1 && r.y0 <= py && py <= r.y1;
}

void measure(UnfoldedPart& part)
{
    part.minX = DBL_MAX;
    part.minY = DBL_MAX;
    part.maxX = -DBL_MAX;
    part.maxY = -DBL_MAX;
    for (const Face* f : part.faces) {
        for (const HalfEdge* h : f->outerLoop.halfEdges) {
            if (!h->point) continue;
            part.minX = std::min(part.minX, h->point->x);
            part.minY = std::min(part.minY, h->point->y);
            part.maxX = std::max(part.maxX, h->point->x);
            part.maxY = std::max(part.maxY, h->point->y);
        }
    }
    if (part.minX > part.maxX) part.minX = part.minY = part.maxX = part.maxY = 0.0; // no points
    part.width = (part.maxX - part.minX) * kInflation;
    part.height = (part.maxY - part.minY) * kInflation;
    part.offsetX = -part.minX;
    part.offsetY = -part.minY;
}

double sheetScore(double w, double h)
{
    return h / w >= kPortrait ? h * h * 0.7072135785007072 : w * w * kPortrait;
}

// Would part r at (x, y) overlap the placed part s?
bool overlaps(double x, double y, const UnfoldedPart& r, const UnfoldedPart& s)
{
    const double dx = 0.001 * r.width;
    const double dy = 0.001 * r.height;
    const Rect t{x + dx, y + dy, x + dx + r.width, y + dy + r.height};
    const double sx0 = s.minX + s.offsetX;
    const double sy0 = s.minY + s.offsetY;
    const Rect o{sx0, sy0, sx0 + s.width, sy0 + s.height};
    const double ox[4] = {o.x0, o.x0, o.x1, o.x1}, oy[4] = {o.y0, o.y1, o.y0, o.y1};
    const double tx[4] = {t.x0, t.x0, t.x1, t.x1}, ty[4] = {t.y0, t.y1, t.y0, t.y1};
    for (int i = 0; i < 4; ++i) {
        if (pointInRect(ox[i], oy[i], t) || pointInRect(tx[i], ty[i], o)) return true;
    }
    // Two boxes crossing like a plus sign have no corner inside each other.
    // This holds whether or not the overlap check of the parts is on.
    return segmentsIntersect({o.x0 - dx, o.y1 - dy}, {o.x1 - dx, o.y0 - dy}, {t.x0, t.y0},
                             {t.x1, t.y1}, 0.0);
}

// Would part r at (x, y) overlap any of the first k parts in sorted order?
// The part that ruled out the previous position, and then the parts near
// this one, usually decide it, so they are tried first; the answer does not
// depend on the order.
bool blocked(double x, double y, const UnfoldedPart& r, const std::vector<UnfoldedPart*>& sorted,
             std::size_t k, const BoxGrid& placed, std::size_t& lastBlocker)
{
    if (lastBlocker < k && overlaps(x, y, r, *sorted[lastBlocker])) return true;
    const double dx = 0.001 * r.width;
    const double dy = 0.001 * r.height;
    if (placed.anyNear({x + dx, y + dy, x + dx + r.width, y + dy + r.height}, [&](std::size_t j) {
            if (!overlaps(x, y, r, *sorted[j])) return false;
            lastBlocker = j;
            return true;
        }))
        return true;
    for (std::size_t j = 0; j < k; ++j)
        if (overlaps(x, y, r, *sorted[j])) {
            lastBlocker = j;
            return true;
        }
    return false;
}

} // namespace

void arrangeParts(EngineState& engine, Model& model)
{
    std::vector<UnfoldedPart*> remaining;
    for (auto& part : model.parts) {
        measure(*part);
        remaining.push_back(part.get());
    }

    // Largest area first; among equal areas the earlier part.
    std::vector<UnfoldedPart*> sorted;
    while (!remaining.empty()) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < remaining.size(); ++i) {
            if (remaining[i]->width * remaining[i]->height >
                remaining[best]->width * remaining[best]->height)
                best = i;
        }
        sorted.push_back(remaining[best]);
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(best));
    }

    // Cells about as large as a typical part.
    double sizeSum = 0.0;
    for (const UnfoldedPart* part : sorted) sizeSum += std::max(part->width, part->height);
    BoxGrid sheet(sorted.empty() ? 0.0 : sizeSum / static_cast<double>(sorted.size()));

    std::vector<double> xs{0.0}, ys{0.0};
    double sheetW = 0.0, sheetH = 0.0;
    double farX = 0.0; // right of every placed box: always free
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        UnfoldedPart& r = *sorted[k];
        double bestScore = DBL_MAX, bx = 0.0, by = 0.0;
        bool placed = false;
        std::size_t lastBlocker = 0;
        for (double y : ys) {
            for (double x : xs) {
                const double score =
                    sheetScore(std::max(sheetW, x + r.width), std::max(sheetH, y + r.height));
                const bool better = score < bestScore || (score == bestScore && y < by) ||
                                    (score == bestScore && y == by && x < bx);
                if (!better) continue;
                if (blocked(x, y, r, sorted, k, sheet, lastBlocker)) continue;
                bestScore = score;
                bx = x;
                by = y;
                placed = true;
            }
        }
        // Scores beyond the largest double are never taken; such a part goes
        // right of everything rather than on top of another.
        if (!placed && k > 0) {
            bx = farX;
            by = 0.0;
        }
        r.offsetX = bx - r.minX;
        r.offsetY = by - r.minY;
        const double x0 = r.minX + r.offsetX, y0 = r.minY + r.offsetY;
        sheet.insert(static_cast<std::uint32_t>(k), {x0, y0, x0 + r.width, y0 + r.height});
        xs.push_back(bx + r.width);
        ys.push_back(by + r.height);
        sheetW = std::max(sheetW, bx + r.width);
        sheetH = std::max(sheetH, by + r.height);
        farX = std::max(farX, bx + r.width);
    }

    model.sheetWidth = sheetW;
    model.sheetHeight = sheetH;
    engine.status.busy = false;
}




void numberCutEdges(Model& model)
{
    std::int32_t counter = 1;
    for (auto& object : model.objects) {
        for (Face* face : object->faces) {
            for (HalfEdge* h : face->outerLoop.halfEdges) {
                Edge* e = h->edge;
                if (!e || e->edgeId != -1) continue;
                if (e->state == EdgeState::Cut || e->state == EdgeState::MarkedCut) e->edgeId = counter++;
            }
        }
    }
}





void separateCorners(Model& model)
{
    // One walk over the half-edges collects each copy's direction sum, in
    // the same order of additions as a walk per copy would.
    std::unordered_map<const CornerCopy*, Vec3> sums;
    sums.reserve(model.cornerPool.size());
    for (auto& object : model.objects) {
        for (Face* face : object->faces) {
            for (HalfEdge* e : face->outerLoop.halfEdges) {
                if (!e->cornerCopy) continue;
                const Vec3& o = e->origin->position;
                Vec3& sum = sums[e->cornerCopy];
                sum = sum + ((e->next->origin->position - o) + (e->prev->origin->position - o));
            }
        }
    }
    const double step = 0.1 * model.averageEdgeLength;
    for (auto& copy : model.cornerPool) {
        auto it = sums.find(copy);
        if (it == sums.end()) continue;
        const double len = length(it->second);
        if (!(len > 0.0) || !std::isfinite(len)) continue;
        const Vec3 move = it->second / len * step;
        copy->x += move.x;
        copy->y += move.y;
        copy->z += move.z;
    }
}





namespace {
constexpr double kPageWidth = 18.0;   // cm of printable width
constexpr double kPageHeight = 26.7;  // cm of printable height
} // namespace

void finishUnfolding(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    if (status.finished) return;
    status.finished = true;
    if (!status.quiet) engine.message("All faces are unfolded.");

    reference::arrangeParts(engine, model);
    numberCutEdges(model);
    separateCorners(model);
    engine.invalidateModelView();

    // A sheet without extent in one direction fits any scale that way; a
    // sheet without any extent keeps the scale it has.
    const double byHeight = kPageHeight / model.sheetHeight;
    const double byWidth = kPageWidth / model.sheetWidth;
    const bool heightFits = std::isfinite(byHeight) && byHeight > 0.0;
    const bool widthFits = std::isfinite(byWidth) && byWidth > 0.0;
    if (heightFits && widthFits)
        model.patternScale = 0.9 * (byHeight < byWidth ? byHeight : byWidth);
    else if (heightFits || widthFits)
        model.patternScale = 0.9 * (heightFits ? byHeight : byWidth);
    engine.displayedScale = model.patternScale * model.unitScale;

    if (!status.quiet)
        engine.notify(ViewChange::UnfoldingFinished);
    else
        engine.repaintPatternView();
}

} // namespace nettor::reference
