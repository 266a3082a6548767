#include "pattern/pages_split.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace nettor {

namespace {

constexpr double kStepDeg = 180.0 / DirectionSpread::kDirections;

struct Unit {
    double c, s;
};

const std::array<Unit, DirectionSpread::kDirections>& units()
{
    static const auto table = [] {
        std::array<Unit, DirectionSpread::kDirections> t{};
        for (int k = 0; k < DirectionSpread::kDirections; ++k) {
            const double r = k * kStepDeg * kPagesPi / 180.0;
            t[static_cast<std::size_t>(k)] = {std::cos(r), std::sin(r)};
        }
        return t;
    }();
    return table;
}

void addFace(DirectionSpread& spread, const Face& face, double mmPerUnit)
{
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (h && h->point) spread.add({h->point->x * mmPerUnit, h->point->y * mmPerUnit});
}

bool placed(const Face& face)
{
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (!h || !h->point) return false;
    return !face.outerLoop.halfEdges.empty();
}

// The faces across a side joined by a fold within the part.
const Face* foldNeighbour(const HalfEdge& side)
{
    const HalfEdge* other = side.foldPartner;
    if (!other || !other->loop || !other->loop->face) return nullptr;
    const Face* face = other->loop->face;
    return face->part == side.loop->face->part ? face : nullptr;
}

// Cutting a long or sharp fold costs more than a short or flat one.
double keepWeight(const Edge& edge)
{
    const double sharpness = edge.foldAngle >= 0.0 ? (180.0 - edge.foldAngle) / 180.0 : 0.0;
    return edge.length * (0.2 + sharpness);
}

MmPoint centreOf(const Face& face)
{
    MmPoint c;
    double n = 0;
    for (const HalfEdge* h : face.outerLoop.halfEdges)
        if (h && h->point) {
            c = {c.x + h->point->x, c.y + h->point->y};
            ++n;
        }
    return n > 0 ? MmPoint{c.x / n, c.y / n} : c;
}

// Pieces grow round their first face, and among equally near faces across
// the folds that are dearest to cut.
double growWeight(const Edge& edge, MmPoint face, MmPoint seed)
{
    return 0.5 * keepWeight(edge) - std::hypot(face.x - seed.x, face.y - seed.y);
}

} // namespace

DirectionSpread::DirectionSpread()
{
    lo_.fill(1e300);
    hi_.fill(-1e300);
}

void DirectionSpread::add(MmPoint p)
{
    const auto& u = units();
    for (std::size_t k = 0; k < u.size(); ++k) {
        const double d = p.x * u[k].c + p.y * u[k].s;
        if (d < lo_[k]) lo_[k] = d;
        if (d > hi_[k]) hi_[k] = d;
    }
}

int DirectionSpread::fittingDirection(double width, double height) const
{
    constexpr int half = kDirections / 2;
    for (int k = 0; k < kDirections; ++k) {
        const double along = extent(k), across = extent((k + half) % kDirections);
        if ((along <= width && across <= height) || (along <= height && across <= width)) return k;
    }
    return -1;
}

double DirectionSpread::turnFor(int direction)
{
    const double turn = -direction * kStepDeg;
    return turn < 0.0 ? turn + 180.0 : turn;
}

const Face* faceTooLarge(const Model& model, const SplitBox& box)
{
    for (const auto& part : model.parts) {
        if (!part) continue;
        for (const Face* face : part->faces) {
            if (!face || !placed(*face)) continue;
            DirectionSpread spread;
            addFace(spread, *face, box.mmPerUnit);
            if (spread.fittingDirection(box.width, box.height) < 0) return face;
        }
    }
    return nullptr;
}

std::vector<PieceFaces> splitToFit(const Model& model, const SplitBox& box,
                                   const std::atomic<bool>* cancel, bool& cancelled)
{
    cancelled = false;
    std::vector<PieceFaces> pieces;
    std::vector<int> pieceOf(static_cast<std::size_t>(std::max(model.faceCount, 0)), -1);
    auto faceSlot = [&](const Face& f) -> int& { return pieceOf[static_cast<std::size_t>(f.index)]; };
    // Placement order within the part, and the piece that last refused a face.
    std::vector<int> order(pieceOf.size(), 0);
    std::vector<int> refusedBy(pieceOf.size(), -1);

    for (std::size_t p = 0; p < model.parts.size(); ++p) {
        if (cancel && cancel->load()) {
            cancelled = true;
            return {};
        }
        const UnfoldedPart* part = model.parts[p].get();
        if (!part) continue;
        std::vector<const Face*> faces;
        for (const Face* f : part->faces)
            if (f && placed(*f) && f->index >= 0 && f->index < model.faceCount) faces.push_back(f);
        if (faces.empty()) continue;

        DirectionSpread whole;
        for (const Face* f : faces) addFace(whole, *f, box.mmPerUnit);
        const int direction = whole.fittingDirection(box.width, box.height);
        if (direction >= 0) {
            pieces.push_back({static_cast<int>(p), faces, DirectionSpread::turnFor(direction)});
            continue;
        }

        // Placement order of the faces, so that each piece keeps it.
        for (std::size_t i = 0; i < faces.size(); ++i) order[static_cast<std::size_t>(faces[i]->index)] = static_cast<int>(i);

        for (const Face* seed : faces) {
            if (faceSlot(*seed) != -1) continue;
            if (cancel && cancel->load()) {
                cancelled = true;
                return {};
            }
            const int id = static_cast<int>(pieces.size());
            DirectionSpread spread;
            std::vector<const Face*> taken;
            // Highest keep weight first; equal weights in placement order.
            using Entry = std::pair<double, int>; // weight, minus placement order
            std::priority_queue<Entry> frontier;
            MmPoint centre;
            auto take = [&](const Face& f) {
                faceSlot(f) = id;
                taken.push_back(&f);
                addFace(spread, f, box.mmPerUnit);
                for (const HalfEdge* h : f.outerLoop.halfEdges) {
                    const Face* n = foldNeighbour(*h);
                    if (n && faceSlot(*n) == -1)
                        frontier.push({growWeight(*h->edge, centreOf(*n), centre), -order[static_cast<std::size_t>(n->index)]});
                }
            };
            centre = centreOf(*seed);
            take(*seed);
            while (!frontier.empty()) {
                const int next = -frontier.top().second;
                frontier.pop();
                const Face& f = *faces[static_cast<std::size_t>(next)];
                if (faceSlot(f) != -1 || refusedBy[static_cast<std::size_t>(f.index)] == id) continue;
                DirectionSpread trial = spread;
                addFace(trial, f, box.mmPerUnit);
                if (trial.fittingDirection(box.width, box.height) < 0) {
                    refusedBy[static_cast<std::size_t>(f.index)] = id;
                    continue;
                }
                take(f);
            }
            std::sort(taken.begin(), taken.end(), [&](const Face* a, const Face* b) {
                return order[static_cast<std::size_t>(a->index)] < order[static_cast<std::size_t>(b->index)];
            });
            const int fit = spread.fittingDirection(box.width, box.height);
            pieces.push_back({static_cast<int>(p), taken, DirectionSpread::turnFor(std::max(fit, 0))});
        }
    }
    return pieces;
}

} // namespace nettor
