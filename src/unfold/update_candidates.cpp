#include "unfold/update_candidates.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/growth_index.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace nettor {

namespace {

std::uint64_t walkPosition(std::size_t faceNumber, std::size_t side)
{
    return (static_cast<std::uint64_t>(faceNumber) << 32) | static_cast<std::uint64_t>(side);
}

// Grid cells about twice a typical edge: a face's box then spans a few.
double cellSizeFor(const UnfoldedPart& part)
{
    const Model* model = part.faces.empty() ? nullptr : part.faces.front()->object->model;
    const double average = model ? model->averageEdgeLength : 0.0;
    return average > 0.0 && std::isfinite(average) ? 2.0 * average : 1.0;
}

void record(PartGrowthIndex& index, const UnfoldedPart& part, const EngineState& engine)
{
    index.part = &part;
    index.faceCount = part.faces.size();
    index.unfoldedFaceCount = engine.status.unfoldedFaceCount;
}

// The best candidate and whether there is any, from the ordered candidates;
// entries whose edge was marked as cut since are dropped on the way.
bool pickBest(PartGrowthIndex& index, UnfoldedPart& part)
{
    part.bestCandidate = nullptr;
    while (!index.candidates.empty()) {
        const PartGrowthIndex::CandidateKey key = *index.candidates.begin();
        Edge* edge = index.open[key.id].edge;
        if (edge->state == EdgeState::MarkedCut) {
            index.removeOpen(key.id);
            continue;
        }
        if (key.eligible) part.bestCandidate = edge;
        return true;
    }
    return false;
}

void tellUser(const EngineState& engine, bool found, bool closing)
{
    const UnfoldStatus& status = engine.status;
    if (!status.busy) engine.invalidateModelView();
    if (!found && !closing && status.unfoldedFaceCount != status.totalFaceCount && !status.busy)
        engine.message("Push [Start Face] button and specify the first face.");
}

} // namespace

void updateCandidates(EngineState& engine, UnfoldedPart& part, bool closing)
{
    part.bestCandidate = nullptr;
    // A closed part is never evaluated again but by a full walk.
    std::shared_ptr<PartGrowthIndex> index;
    if (!closing) {
        index = std::make_shared<PartGrowthIndex>(cellSizeFor(part), engine.overlapCheck.load(),
                                                   engine.settings.unfoldStrategy);
        for (const Face* f : part.faces)
            if (f->unfolded) index->addFace(*f);
    }
    part.growthIndex = index;

    // The walk decides as a walk over the part always has: the first
    // candidate of the highest positive priority wins.
    bool found = false;
    double bestPriority = 0.0;
    bool indexUsable = true;
    for (std::size_t fi = 0; fi < part.faces.size(); ++fi) {
        Face* face = part.faces[fi];
        const std::vector<HalfEdge*>& sides = face->outerLoop.halfEdges;
        for (std::size_t si = 0; si < sides.size(); ++si) {
            HalfEdge* h = sides[si];
            Edge* e = h->edge;
            if (!e || !e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
            const HalfEdge* across = e->halfEdge1 == h ? e->halfEdge2 : e->halfEdge1;
            if (across->loop->face->unfolded) {
                e->state = h->foldPartner ? EdgeState::Fold : EdgeState::Cut;
                continue;
            }
            if (closing) {
                e->state = EdgeState::Blocked;
                continue;
            }
            bool attachable;
            if (index->openOf.contains(e)) {
                // An edge met twice with its face across unplaced: it has
                // more sides than two. Judge it here and never rely on the
                // kept verdicts of this part.
                GridBox box;
                attachable = index->canAttach(*face, *e, box);
                e->state = attachable ? EdgeState::Candidate : EdgeState::Blocked;
                indexUsable = false;
            } else {
                const std::uint32_t id = index->addOpen(*e, *face, walkPosition(fi, si));
                index->evaluate(id);
                attachable = index->open[id].candidate;
            }
            if (attachable) {
                found = true;
                const double priority = candidatePriority(*e, engine.settings.unfoldStrategy);
                if (priority > bestPriority) {
                    bestPriority = priority;
                    part.bestCandidate = e;
                }
            }
        }
    }
    if (index) {
        record(*index, part, engine);
        if (!indexUsable) index->part = nullptr;
    }
    tellUser(engine, found, closing);
}

void updateCandidatesAfterAttach(EngineState& engine, UnfoldedPart& part, Face& placed)
{
    const EngineState& state = engine;
    auto index = std::static_pointer_cast<PartGrowthIndex>(part.growthIndex);
    if (!index || index->part != &part || part.faces.empty() || part.faces.back() != &placed ||
        index->faceCount + 1 != part.faces.size() ||
        index->unfoldedFaceCount + 1 != state.status.unfoldedFaceCount ||
        index->overlapCheck != state.overlapCheck.load() || index->strategy != state.settings.unfoldStrategy) {
        updateCandidates(engine, part, false);
        return;
    }

    // The outline loses the parent's side of the fold and gains the new
    // face with its other sides.
    const std::vector<HalfEdge*>& sides = placed.outerLoop.halfEdges;
    for (const HalfEdge* h : sides)
        if (h->foldPartner) index->removeSegment(h->foldPartner);
    index->addFace(placed);

    // The edges of the new face: closed towards placed faces, open towards
    // the others.
    const std::size_t faceNumber = part.faces.size() - 1;
    std::vector<std::uint32_t>& fresh = index->scratchFresh;
    fresh.clear();
    for (std::size_t si = 0; si < sides.size(); ++si) {
        HalfEdge* h = sides[si];
        Edge* e = h->edge;
        if (!e || !e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
        const HalfEdge* across = e->halfEdge1 == h ? e->halfEdge2 : e->halfEdge1;
        const std::uint32_t* kept = index->openOf.find(e);
        if (across->loop->face->unfolded) {
            e->state = h->foldPartner ? EdgeState::Fold : EdgeState::Cut;
            if (kept) index->removeOpen(*kept);
        } else if (!kept) {
            fresh.push_back(index->addOpen(*e, placed, walkPosition(faceNumber, si)));
        } else {
            // An edge with more sides than two: walk the whole part.
            updateCandidates(engine, part, false);
            return;
        }
    }

    // Only open edges whose face across meets the new face's box, grown by a
    // margin far above the overlap test's tolerance, can change their
    // verdict: everything the overlap test looks at is unchanged elsewhere.
    GridBox changed{-HUGE_VAL, -HUGE_VAL, HUGE_VAL, HUGE_VAL};
    bool anyCorner = false;
    double magnitude = 1.0;
    for (const HalfEdge* h : sides) {
        if (!h->point) continue;
        const PatternPoint& q = *h->point;
        if (!anyCorner) changed = {q.x, q.y, q.x, q.y};
        anyCorner = true;
        changed = {std::min(changed.minX, q.x), std::min(changed.minY, q.y), std::max(changed.maxX, q.x),
                   std::max(changed.maxY, q.y)};
        magnitude = std::max({magnitude, std::fabs(q.x), std::fabs(q.y)});
    }
    if (anyCorner) {
        const double margin = 1e-6 * magnitude;
        changed = {changed.minX - margin, changed.minY - margin, changed.maxX + margin, changed.maxY + margin};
    }
    std::vector<std::uint32_t>& near = index->scratchIds;
    near.clear();
    index->openGrid.anyMeeting(changed, [&](std::size_t id) {
        near.push_back(static_cast<std::uint32_t>(id));
        return false;
    });
    for (std::uint32_t id : near) {
        PartGrowthIndex::OpenEdge& entry = index->open[id];
        if (!entry.edge) continue;
        if (entry.edge->state == EdgeState::MarkedCut)
            index->removeOpen(id);
        else
            index->evaluate(id);
    }
    for (std::uint32_t id : fresh) index->evaluate(id);

    const bool found = pickBest(*index, part);
    record(*index, part, engine);
    tellUser(engine, found, false);
}

} // namespace nettor
