#include "unfold/part_join.h"

#include "model/mesh.h"
#include "unfold/arrange_parts.h"
#include "unfold/box_grid.h"
#include "unfold/overlap.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nettor {

namespace {

constexpr double kJoinPi = 3.14159265358979323846;

int indexOfPart(const Model& model, const UnfoldedPart* part)
{
    for (std::size_t i = 0; i < model.parts.size(); ++i)
        if (model.parts[i].get() == part) return static_cast<int>(i);
    return -1;
}

// A placed face's corners, moved by the motion when one is given.
std::vector<PatternPoint> movedCorners(const Face& face, const PatternMotion* motion)
{
    std::vector<PatternPoint> corners;
    corners.reserve(face.outerLoop.halfEdges.size());
    for (const HalfEdge* h : face.outerLoop.halfEdges) {
        if (!h->point) return {};
        corners.push_back(motion ? motion->apply(*h->point) : *h->point);
    }
    return corners;
}

// Whether any face of `moved`, after the motion, overlaps a face of `kept`.
bool partsWouldOverlap(const Model& model, const UnfoldedPart& kept, const UnfoldedPart& moved,
                       const PatternMotion& motion)
{
    const double cell = model.averageEdgeLength > 0.0 ? 2.0 * model.averageEdgeLength : 0.0;
    BoxGrid grid(cell);
    std::vector<std::vector<PatternPoint>> keptCorners;
    keptCorners.reserve(kept.faces.size());
    for (const Face* face : kept.faces) {
        keptCorners.push_back(movedCorners(*face, nullptr));
        if (!keptCorners.back().empty())
            grid.insert(static_cast<std::uint32_t>(keptCorners.size() - 1), boxOfCorners(keptCorners.back()));
    }
    for (const Face* face : moved.faces) {
        const std::vector<PatternPoint> corners = movedCorners(*face, &motion);
        if (corners.empty()) continue;
        const double tolerance = overlapTolerance(corners);
        if (grid.anyNear(boxOfCorners(corners), [&](std::size_t id) {
                const std::vector<PatternPoint>& other = keptCorners[id];
                return facesOverlap(corners, other, std::max(tolerance, overlapTolerance(other)));
            }))
            return true;
    }
    return false;
}

// Moves the corner copy back to its vertex and then a tenth of the average
// edge length into the faces that name it, as completion does.
void placeCornerCopy(const Model& model, CornerCopy& copy, const Vec3& vertex, const std::vector<HalfEdge*>& naming)
{
    Vec3 sum{0.0, 0.0, 0.0};
    for (const HalfEdge* e : naming) {
        const Vec3& o = e->origin->position;
        sum = sum + ((e->next->origin->position - o) + (e->prev->origin->position - o));
    }
    copy.x = vertex.x;
    copy.y = vertex.y;
    copy.z = vertex.z;
    const double len = length(sum);
    if (!(len > 0.0) || !std::isfinite(len)) return;
    const Vec3 move = sum / len * (0.1 * model.averageEdgeLength);
    copy.x += move.x;
    copy.y += move.y;
    copy.z += move.z;
}

} // namespace

bool isModelCut(EdgeState state)
{
    return state == EdgeState::Cut || state == EdgeState::MarkedCut;
}

PatternPoint PatternMotion::apply(const PatternPoint& p) const
{
    const double a = degrees * kJoinPi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y + shift.x, s * p.x + c * p.y + shift.y};
}

bool motionAcrossCut(const HalfEdge& side, PatternMotion& motion)
{
    const HalfEdge* twin = side.twin;
    if (!side.edge || !twin || !isModelCut(side.edge->state) || side.foldPartner) return false;
    if (!side.point || !side.next->point || !twin->point || !twin->next->point) return false;
    // The twin runs the other way: its origin meets the side's end.
    const PatternPoint& keptFrom = *side.next->point;
    const PatternPoint& keptTo = *side.point;
    const PatternPoint& movedFrom = *twin->point;
    const PatternPoint& movedTo = *twin->next->point;
    const double keptAngle = std::atan2(keptTo.y - keptFrom.y, keptTo.x - keptFrom.x);
    const double movedAngle = std::atan2(movedTo.y - movedFrom.y, movedTo.x - movedFrom.x);
    motion.degrees = (keptAngle - movedAngle) * 180.0 / kJoinPi;
    motion.shift = {0.0, 0.0};
    const PatternPoint turned = motion.apply(movedFrom);
    motion.shift = {keptFrom.x - turned.x, keptFrom.y - turned.y};
    return true;
}

PartJoin joinPartsAcrossCut(Model& model, HalfEdge& side, bool overlapCheck)
{
    PartJoin join;
    HalfEdge* twin = side.twin;
    if (!motionAcrossCut(side, join.motion)) return join;
    UnfoldedPart* kept = side.loop->face->part;
    UnfoldedPart* moved = twin->loop->face->part;
    join.keptPart = indexOfPart(model, kept);
    join.removedPart = indexOfPart(model, moved);
    if (join.keptPart < 0 || join.removedPart < 0) return join;
    if (kept == moved) {
        join.result = PartJoinResult::SamePart;
        return join;
    }
    if (overlapCheck && partsWouldOverlap(model, *kept, *moved, join.motion)) {
        join.result = PartJoinResult::Overlap;
        return join;
    }

    // Every point of the moved part once, however many corners share it.
    std::unordered_set<PatternPoint*> points;
    for (Face* face : moved->faces)
        for (HalfEdge* h : face->outerLoop.halfEdges)
            if (h->point) points.insert(h->point);
    for (PatternPoint* p : points) *p = join.motion.apply(*p);

    // The twin's corners become the side's: each record of the moved part
    // at the cut's two ends is replaced by the kept part's.
    std::unordered_map<PatternPoint*, PatternPoint*> samePoint{{twin->point, side.next->point},
                                                               {twin->next->point, side.point}};
    std::unordered_map<CornerCopy*, CornerCopy*> sameCopy{{twin->cornerCopy, side.next->cornerCopy},
                                                          {twin->next->cornerCopy, side.cornerCopy}};
    for (Face* face : moved->faces)
        for (HalfEdge* h : face->outerLoop.halfEdges) {
            if (const auto p = samePoint.find(h->point); p != samePoint.end()) h->point = p->second;
            if (const auto c = sameCopy.find(h->cornerCopy); c != sameCopy.end()) h->cornerCopy = c->second;
        }
    side.foldPartner = twin;
    twin->foldPartner = &side;
    side.edge->state = EdgeState::Fold;
    side.edge->edgeId = -1;

    for (Face* face : moved->faces) {
        face->part = kept;
        kept->faces.push_back(face);
    }
    kept->faceCount += moved->faceCount;

    // The two corner copies at the cut's ends: the gap there closes.
    for (CornerCopy* copy : {side.cornerCopy, side.next->cornerCopy}) {
        if (!copy) continue;
        std::vector<HalfEdge*> naming;
        const Vec3* vertex = nullptr;
        for (Face* face : kept->faces)
            for (HalfEdge* h : face->outerLoop.halfEdges)
                if (h->cornerCopy == copy) {
                    naming.push_back(h);
                    vertex = &h->origin->position;
                }
        if (vertex) placeCornerCopy(model, *copy, *vertex, naming);
    }

    if (model.currentPart == moved) model.currentPart = kept;
    join.removed = std::move(model.parts[static_cast<std::size_t>(join.removedPart)]);
    model.parts.erase(model.parts.begin() + join.removedPart);
    arrangeParts(model);
    join.result = PartJoinResult::Joined;
    return join;
}

} // namespace nettor
