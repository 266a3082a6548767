#include "unfold/growth_index.h"

#include "model/mesh.h"
#include "unfold/update_candidates.h"
#include "unfold/face_normal.h"
#include "unfold/overlap.h"
#include "unfold/placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nettor {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool finiteBox(const GridBox& b)
{
    return std::isfinite(b.minX) && std::isfinite(b.minY) && std::isfinite(b.maxX) && std::isfinite(b.maxY);
}

// The corners' box, or a box of NaN when a corner is not finite: such a
// face is kept aside by the grids and judged by the tests themselves.
GridBox boxOf(std::span<const PatternPoint> points)
{
    for (const PatternPoint& q : points)
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return {kNaN, kNaN, kNaN, kNaN};
    return boxOfCorners(points);
}

} // namespace

PartGrowthIndex::PartGrowthIndex(double cellSize, std::int32_t overlapCheck, std::int32_t strategy)
    : segmentGrid(cellSize), faceGrid(cellSize), openGrid(cellSize), overlapCheck(overlapCheck), strategy(strategy)
{
}

void PartGrowthIndex::addFace(const Face& face)
{
    const std::vector<HalfEdge*>& corners = face.outerLoop.halfEdges;
    if (!corners.empty() &&
        std::all_of(corners.begin(), corners.end(), [](const HalfEdge* h) { return h->point != nullptr; })) {
        const PatternPoint& first = *corners.front()->point;
        GridBox box{first.x, first.y, first.x, first.y};
        for (const HalfEdge* h : corners)
            box = {std::min(box.minX, h->point->x), std::min(box.minY, h->point->y),
                   std::max(box.maxX, h->point->x), std::max(box.maxY, h->point->y)};
        const auto id = static_cast<std::uint32_t>(faces.size());
        faces.push_back(&face);
        faceBoxes.push_back(box);
        faceGrid.insert(id, box);
        if (overlapCheck != 0) {
            thread_local std::vector<PatternPoint> placed;
            placed.clear();
            for (const HalfEdge* h : corners) placed.push_back(*h->point);
            faceShapes.add(placed);
        }
    }
    for (const HalfEdge* a : corners) {
        if (a->foldPartner || !a->point || !a->next->point) continue;
        const PatternPoint& s = *a->point;
        const PatternPoint& t = *a->next->point;
        const auto id = static_cast<std::uint32_t>(segments.size());
        segments.push_back({&face, s, t});
        segmentOf.set(a, id);
        segmentGrid.insert(id, {std::min(s.x, t.x), std::min(s.y, t.y), std::max(s.x, t.x), std::max(s.y, t.y)});
    }
}

void PartGrowthIndex::removeSegment(const HalfEdge* side)
{
    const std::uint32_t* id = segmentOf.find(side);
    if (!id) return;
    segmentGrid.remove(*id);
    segmentOf.erase(side);
}

std::uint32_t PartGrowthIndex::addOpen(Edge& edge, const Face& face, std::uint64_t position)
{
    std::uint32_t id;
    if (!freeOpen.empty()) {
        id = freeOpen.back();
        freeOpen.pop_back();
    } else {
        id = static_cast<std::uint32_t>(open.size());
        open.emplace_back();
    }
    OpenEdge& entry = open[id];
    entry = OpenEdge{};
    entry.edge = &edge;
    entry.face = &face;
    entry.position = position;
    openOf.set(&edge, id);
    return id;
}

void PartGrowthIndex::removeOpen(std::uint32_t id)
{
    OpenEdge& entry = open[id];
    if (entry.candidate) candidates.erase(entry.slot);
    openGrid.remove(id);
    openOf.erase(entry.edge);
    entry = OpenEdge{};
    freeOpen.push_back(id);
}

void PartGrowthIndex::evaluate(std::uint32_t id)
{
    OpenEdge& entry = open[id];
    // The face across is laid out from the same corners every time, so it is
    // laid once, and its box stays where it was filed.
    if (!entry.filed) {
        thread_local std::vector<PatternPoint> corners;
        entry.laid = layAcross(*entry.face, *entry.edge, corners);
        GridBox box{kNaN, kNaN, kNaN, kNaN};
        if (entry.laid) {
            box = boxOf(corners);
            entry.firstCorner = static_cast<std::uint32_t>(openCorners.size());
            entry.cornerCount = static_cast<std::uint32_t>(corners.size());
            openCorners.insert(openCorners.end(), corners.begin(), corners.end());
        }
        openGrid.insert(id, box);
        entry.box = box;
        entry.filed = true;
    }
    bool attachable = entry.laid;
    if (attachable) {
        const std::span<const PatternPoint> corners(openCorners.data() + entry.firstCorner, entry.cornerCount);
        if (crossesOutline(entry.face, corners)) {
            attachable = false;
        } else if (overlapCheck != 0 && corners.size() >= 3 && finiteBox(entry.box)) {
            if (entry.shape == kNoShape) {
                if (openShapes.size() >= 4096 && openShapes.size() > 4 * (open.size() - freeOpen.size())) {
                    compactOpen();
                    return evaluate(id);
                }
                entry.shape = openShapes.add(corners);
                entry.tolerance = overlapTolerance(corners);
            }
            attachable = !overlapsFaces(corners, entry.box, openShapes, entry.shape, entry.tolerance);
        }
    }
    // The entry's key in the candidates never changes: it stays where it is
    // while it stays a candidate.
    if (attachable) {
        entry.edge->state = EdgeState::Candidate;
        if (!entry.candidate) {
            entry.priority = candidatePriority(*entry.edge, strategy);
            entry.slot = candidates.insert({entry.priority > 0.0, entry.priority, entry.position, id}).first;
        }
    } else {
        entry.edge->state = EdgeState::Blocked;
        if (entry.candidate) candidates.erase(entry.slot);
    }
    entry.candidate = attachable;
}

void PartGrowthIndex::compactOpen()
{
    std::vector<PatternPoint> kept;
    openShapes.clear();
    for (OpenEdge& entry : open) {
        if (!entry.edge || !entry.laid) continue;
        const auto first = static_cast<std::uint32_t>(kept.size());
        kept.insert(kept.end(), openCorners.begin() + entry.firstCorner,
                    openCorners.begin() + entry.firstCorner + entry.cornerCount);
        entry.firstCorner = first;
        // The same corners give the same shape, bit for bit.
        if (entry.shape != kNoShape)
            entry.shape = openShapes.add(std::span<const PatternPoint>(kept.data() + first, entry.cornerCount));
    }
    openCorners = std::move(kept);
}

bool PartGrowthIndex::crossesOutline(const Face* exceptFace, const PatternPoint& p, const PatternPoint& q) const
{
    if (overlapCheck == 0) return false;
    // The same shortcut as the outline scan: boxes apart by more than the
    // margin hold segments that cannot cross.
    constexpr double kMargin = 1e-9;
    const double minX = std::min(p.x, q.x) - kMargin, maxX = std::max(p.x, q.x) + kMargin;
    const double minY = std::min(p.y, q.y) - kMargin, maxY = std::max(p.y, q.y) + kMargin;
    return segmentGrid.anyMeeting({minX, minY, maxX, maxY}, [&](std::size_t i) {
        const Segment& seg = segments[i];
        const PatternPoint& s = seg.from;
        const PatternPoint& t = seg.to;
        if ((s.x < minX && t.x < minX) || (s.x > maxX && t.x > maxX) || (s.y < minY && t.y < minY) ||
            (s.y > maxY && t.y > maxY))
            return false;
        if (seg.face == exceptFace) return false;
        return segmentsIntersect(p, q, s, t, 0.001);
    });
}

bool PartGrowthIndex::crossesOutline(const Face* exceptFace, std::span<const PatternPoint> corners) const
{
    if (overlapCheck == 0 || corners.size() < 3) return false;
    // The sides of the fan from the first corner that are not the shared
    // side: each new corner's side to the anchor and to the corner before.
    // One walk over the grid, with the box of all of them, tests them all:
    // a segment is tested against a side as crossesOutline(p, q) would.
    struct Side {
        const PatternPoint* p;
        const PatternPoint* q;
        GridBox box;
    };
    thread_local std::vector<Side> sides;
    sides.clear();
    constexpr double kMargin = 1e-9;
    GridBox all{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    bool finite = true;
    auto addSide = [&](const PatternPoint& p, const PatternPoint& q) {
        const GridBox box{std::min(p.x, q.x) - kMargin, std::min(p.y, q.y) - kMargin, std::max(p.x, q.x) + kMargin,
                          std::max(p.y, q.y) + kMargin};
        finite = finite && finiteBox(box);
        sides.push_back({&p, &q, box});
        all = {std::min(all.minX, box.minX), std::min(all.minY, box.minY), std::max(all.maxX, box.maxX),
               std::max(all.maxY, box.maxY)};
    };
    for (std::size_t i = 2; i < corners.size(); ++i) {
        addSide(corners[0], corners[i]);
        addSide(corners[i - 1], corners[i]);
    }
    // A side that is not finite meets no grid cell: test it on its own.
    if (!finite || !finiteBox(all)) {
        for (const Side& side : sides)
            if (crossesOutline(exceptFace, *side.p, *side.q)) return true;
        return false;
    }
    return segmentGrid.anyMeeting(all, [&](std::size_t i) {
        const Segment& seg = segments[i];
        if (seg.face == exceptFace) return false;
        const PatternPoint& s = seg.from;
        const PatternPoint& t = seg.to;
        for (const Side& side : sides) {
            const GridBox& b = side.box;
            if ((s.x < b.minX && t.x < b.minX) || (s.x > b.maxX && t.x > b.maxX) || (s.y < b.minY && t.y < b.minY) ||
                (s.y > b.maxY && t.y > b.maxY))
                continue;
            if (segmentsIntersect(*side.p, *side.q, s, t, 0.001)) return true;
        }
        return false;
    });
}

bool PartGrowthIndex::overlapsFaces(std::span<const PatternPoint> corners, const GridBox& query,
                                    const FlatShapes& shapes, FlatShapes::Id shape, double tolerance) const
{
    if (overlapCheck == 0 || corners.size() < 3 || !finiteBox(query)) return false;
    return faceGrid.anyMeeting(query, [&](std::size_t i) {
        const GridBox& box = faceBoxes[i];
        if (std::min(box.maxX, query.maxX) - std::max(box.minX, query.minX) <= tolerance ||
            std::min(box.maxY, query.maxY) - std::max(box.minY, query.minY) <= tolerance)
            return false;
        return FlatShapes::overlap(shapes, shape, faceShapes, static_cast<FlatShapes::Id>(i), tolerance);
    });
}

bool PartGrowthIndex::layAcross(const Face& face, const Edge& edge, std::vector<PatternPoint>& corners)
{
    if (!edge.halfEdge1 || !edge.halfEdge2) return false;
    const HalfEdge* n = edge.halfEdge1->loop->face == &face ? edge.halfEdge2 : edge.halfEdge1;
    const HalfEdge* t = n == edge.halfEdge1 ? edge.halfEdge2 : edge.halfEdge1;
    if (n->loop->face == &face || !t->point || !t->next->point) return false;

    // The corners in loop order from n's start.
    const Vec3 normal = outwardNormal(*n->loop->face);
    const Vec3& k = n->origin->position;
    corners.assign({*t->next->point, *t->point});
    for (const HalfEdge* h = n->next->next; h != n; h = h->next)
        corners.push_back(placeFanCorner(corners[0], corners.back(), k, h->prev->origin->position,
                                         h->origin->position, normal));
    return true;
}

bool PartGrowthIndex::canAttach(const Face& face, const Edge& edge, GridBox& box) const
{
    box = {kNaN, kNaN, kNaN, kNaN};
    thread_local std::vector<PatternPoint> corners;
    if (!layAcross(face, edge, corners)) return false;
    box = boxOf(corners);
    if (crossesOutline(&face, corners)) return false;
    if (overlapCheck == 0 || corners.size() < 3 || !finiteBox(box)) return true;
    thread_local FlatShapes shapes;
    shapes.clear();
    const FlatShapes::Id shape = shapes.add(corners);
    return !overlapsFaces(corners, box, shapes, shape, overlapTolerance(corners));
}

} // namespace nettor
