// The reference engine's overlap test: the whole outline collected after
// every placement.
#include "support/reference_engine/reference_engine.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/face_normal.h"
#include "unfold/overlap.h"
#include "unfold/placement.h"
#include "support/reference_engine/outline_overlap.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nettor::reference {

void collectOutline(const UnfoldedPart& part, PartOutline& into)
{
    into.segments.clear();
    into.boxes.clear();
    into.faces.clear();
    into.faceBoxes.clear();
    for (const Face* f : part.faces) {
        if (!f->unfolded) continue;
        const std::vector<HalfEdge*>& corners = f->outerLoop.halfEdges;
        if (!corners.empty() && std::all_of(corners.begin(), corners.end(),
                                            [](const HalfEdge* h) { return h->point != nullptr; })) {
            const PatternPoint& first = *corners.front()->point;
            OutlineGrid::Box box{first.x, first.y, first.x, first.y};
            for (const HalfEdge* h : corners)
                box = {std::min(box.minX, h->point->x), std::min(box.minY, h->point->y),
                       std::max(box.maxX, h->point->x), std::max(box.maxY, h->point->y)};
            into.faces.push_back(f);
            into.faceBoxes.push_back(box);
        }
        for (const HalfEdge* a : f->outerLoop.halfEdges) {
            if (a->foldPartner || !a->point || !a->next->point) continue;
            const PatternPoint& s = *a->point;
            const PatternPoint& t = *a->next->point;
            into.segments.push_back({f, s, t});
            into.boxes.push_back({std::min(s.x, t.x), std::min(s.y, t.y), std::max(s.x, t.x),
                                  std::max(s.y, t.y)});
        }
    }
    into.grid.build(into.boxes);
    into.faceGrid.build(into.faceBoxes);
}

bool crossesPartOutline(const EngineState& engine, const PartOutline& outline, const Face* exceptFace, const PatternPoint& p,
                        const PatternPoint& q)
{
    // With the check off no segment crosses; nothing to look at.
    if (engine.overlapCheck.load() == 0) return false;

    // Segments whose boxes lie apart cannot cross; the margin keeps that
    // shortcut from ever deciding a case the full test would call close.
    constexpr double kMargin = 1e-9;
    const double minX = std::min(p.x, q.x) - kMargin, maxX = std::max(p.x, q.x) + kMargin;
    const double minY = std::min(p.y, q.y) - kMargin, maxY = std::max(p.y, q.y) + kMargin;
    auto crosses = [&](const PartOutline::Segment& seg) {
        const PatternPoint& s = seg.from;
        const PatternPoint& t = seg.to;
        if ((s.x < minX && t.x < minX) || (s.x > maxX && t.x > maxX) || (s.y < minY && t.y < minY) ||
            (s.y > maxY && t.y > maxY))
            return false;
        if (seg.face == exceptFace) return false;
        return segmentsCross(engine, p, q, s, t, 0.001);
    };

    // The grid yields every segment whose box can meet the query box; the
    // rest would be passed over by the box test above anyway.
    const OutlineGrid::Box query{minX, minY, maxX, maxY};
    if (outline.grid.usable() && std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) &&
        std::isfinite(maxY))
        return outline.grid.anyNear(query, [&](std::size_t i) { return crosses(outline.segments[i]); });

    for (const PartOutline::Segment& seg : outline.segments)
        if (crosses(seg)) return true;
    return false;
}

bool overlapsPart(const EngineState& engine, const PartOutline& outline, std::span<const PatternPoint> corners)
{
    if (engine.overlapCheck.load() == 0 || corners.size() < 3) return false;

    const double tolerance = overlapTolerance(corners);
    OutlineGrid::Box query{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const PatternPoint& q : corners) {
        query.minX = std::min(query.minX, q.x);
        query.minY = std::min(query.minY, q.y);
        query.maxX = std::max(query.maxX, q.x);
        query.maxY = std::max(query.maxY, q.y);
    }
    if (!std::isfinite(query.minX) || !std::isfinite(query.minY) || !std::isfinite(query.maxX) ||
        !std::isfinite(query.maxY))
        return false;

    // Storage for a placed face's corners, kept from call to call.
    thread_local std::vector<PatternPoint> placed;
    auto overlaps = [&](std::size_t i) {
        const OutlineGrid::Box& box = outline.faceBoxes[i];
        // Boxes that stay within the tolerance of each other hold faces that
        // do too.
        if (std::min(box.maxX, query.maxX) - std::max(box.minX, query.minX) <= tolerance ||
            std::min(box.maxY, query.maxY) - std::max(box.minY, query.minY) <= tolerance)
            return false;
        placed.clear();
        for (const HalfEdge* h : outline.faces[i]->outerLoop.halfEdges) placed.push_back(*h->point);
        return facesOverlap(corners, placed, tolerance);
    };

    if (outline.faceGrid.usable())
        return outline.faceGrid.anyNear(query, overlaps);
    for (std::size_t i = 0; i < outline.faces.size(); ++i)
        if (overlaps(i)) return true;
    return false;
}

bool canAttach(const EngineState& engine, const PartOutline& outline, const Face& face, const Edge& edge)
{
    if (!edge.halfEdge1 || !edge.halfEdge2) return false;
    const HalfEdge* n = edge.halfEdge1->loop->face == &face ? edge.halfEdge2 : edge.halfEdge1;
    const HalfEdge* t = n == edge.halfEdge1 ? edge.halfEdge2 : edge.halfEdge1;
    if (n->loop->face == &face || !t->point || !t->next->point) return false;

    const Vec3 normal = outwardNormal(*n->loop->face);
    const Vec3& k = n->origin->position;
    const PatternPoint a = *t->next->point;
    PatternPoint p = *t->point;
    // The new face's corners in loop order from n's start, kept from call
    // to call.
    thread_local std::vector<PatternPoint> corners;
    corners.assign({a, p});
    for (const HalfEdge* h = n->next->next; h != n; h = h->next) {
        const PatternPoint q =
            placeFanCorner(a, p, k, h->prev->origin->position, h->origin->position, normal);
        if (crossesPartOutline(engine, outline, &face, a, q)) return false;
        if (crossesPartOutline(engine, outline, &face, p, q)) return false;
        corners.push_back(q);
        p = q;
    }
    // No side crosses the outline; the face may still lie on top of placed
    // faces, the one across the edge included, or overlap them around a
    // corner they share.
    return !overlapsPart(engine, outline, corners);
}

} // namespace nettor::reference
