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

GridBox boxOf(std::span<const PatternPoint> points)
{
    GridBox box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const PatternPoint& q : points) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return {kNaN, kNaN, kNaN, kNaN};
        box = {std::min(box.minX, q.x), std::min(box.minY, q.y), std::max(box.maxX, q.x),
               std::max(box.maxY, q.y)};
    }
    return box;
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
    }
    for (const HalfEdge* a : corners) {
        if (a->foldPartner || !a->point || !a->next->point) continue;
        const PatternPoint& s = *a->point;
        const PatternPoint& t = *a->next->point;
        const auto id = static_cast<std::uint32_t>(segments.size());
        segments.push_back({&face, s, t});
        segmentOf[a] = id;
        segmentGrid.insert(id, {std::min(s.x, t.x), std::min(s.y, t.y), std::max(s.x, t.x), std::max(s.y, t.y)});
    }
}

void PartGrowthIndex::removeSegment(const HalfEdge* side)
{
    const auto it = segmentOf.find(side);
    if (it == segmentOf.end()) return;
    segmentGrid.remove(it->second);
    segmentOf.erase(it);
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
    openOf[&edge] = id;
    return id;
}

void PartGrowthIndex::removeOpen(std::uint32_t id)
{
    OpenEdge& entry = open[id];
    if (entry.candidate) candidates.erase({entry.priority > 0.0, entry.priority, entry.position, id});
    openGrid.remove(id);
    openOf.erase(entry.edge);
    entry = OpenEdge{};
    freeOpen.push_back(id);
}

void PartGrowthIndex::evaluate(std::uint32_t id)
{
    OpenEdge& entry = open[id];
    if (entry.candidate) candidates.erase({entry.priority > 0.0, entry.priority, entry.position, id});
    GridBox box;
    entry.candidate = canAttach(*entry.face, *entry.edge, box);
    // The face across is laid out from the same corners every time, so its
    // box stays where it was filed.
    if (!entry.filed) {
        openGrid.insert(id, box);
        entry.box = box;
        entry.filed = true;
    }
    if (entry.candidate) {
        entry.edge->state = EdgeState::Candidate;
        entry.priority = candidatePriority(*entry.edge, strategy);
        candidates.insert({entry.priority > 0.0, entry.priority, entry.position, id});
    } else {
        entry.edge->state = EdgeState::Blocked;
    }
}

bool PartGrowthIndex::crossesOutline(const Face* exceptFace, const PatternPoint& p, const PatternPoint& q) const
{
    if (overlapCheck == 0) return false;
    // The same shortcut as the outline scan: boxes apart by more than the
    // margin hold segments that cannot cross.
    constexpr double kMargin = 1e-9;
    const double minX = std::min(p.x, q.x) - kMargin, maxX = std::max(p.x, q.x) + kMargin;
    const double minY = std::min(p.y, q.y) - kMargin, maxY = std::max(p.y, q.y) + kMargin;
    return segmentGrid.anyNear({minX, minY, maxX, maxY}, [&](std::size_t i) {
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

bool PartGrowthIndex::overlapsFaces(std::span<const PatternPoint> corners) const
{
    if (overlapCheck == 0 || corners.size() < 3) return false;
    const double tolerance = overlapTolerance(corners);
    GridBox query{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const PatternPoint& q : corners) {
        query.minX = std::min(query.minX, q.x);
        query.minY = std::min(query.minY, q.y);
        query.maxX = std::max(query.maxX, q.x);
        query.maxY = std::max(query.maxY, q.y);
    }
    if (!finiteBox(query)) return false;
    thread_local std::vector<PatternPoint> placed;
    return faceGrid.anyNear(query, [&](std::size_t i) {
        const GridBox& box = faceBoxes[i];
        if (std::min(box.maxX, query.maxX) - std::max(box.minX, query.minX) <= tolerance ||
            std::min(box.maxY, query.maxY) - std::max(box.minY, query.minY) <= tolerance)
            return false;
        placed.clear();
        for (const HalfEdge* h : faces[i]->outerLoop.halfEdges) placed.push_back(*h->point);
        return facesOverlap(corners, placed, tolerance);
    });
}

bool PartGrowthIndex::canAttach(const Face& face, const Edge& edge, GridBox& box) const
{
    box = {kNaN, kNaN, kNaN, kNaN};
    if (!edge.halfEdge1 || !edge.halfEdge2) return false;
    const HalfEdge* n = edge.halfEdge1->loop->face == &face ? edge.halfEdge2 : edge.halfEdge1;
    const HalfEdge* t = n == edge.halfEdge1 ? edge.halfEdge2 : edge.halfEdge1;
    if (n->loop->face == &face || !t->point || !t->next->point) return false;

    // The face across, laid flat exactly as attachFace would lay it: its
    // corners in loop order from n's start.
    const Vec3 normal = outwardNormal(*n->loop->face);
    const Vec3& k = n->origin->position;
    thread_local std::vector<PatternPoint> corners;
    corners.assign({*t->next->point, *t->point});
    for (const HalfEdge* h = n->next->next; h != n; h = h->next)
        corners.push_back(placeFanCorner(corners[0], corners.back(), k, h->prev->origin->position,
                                         h->origin->position, normal));
    box = boxOf(corners);

    const PatternPoint& a = corners[0];
    for (std::size_t i = 2; i < corners.size(); ++i) {
        if (crossesOutline(&face, a, corners[i])) return false;
        if (crossesOutline(&face, corners[i - 1], corners[i])) return false;
    }
    return !overlapsFaces(corners);
}

} // namespace nettor
