// The reference engine's growth: placement, candidate evaluation by a walk
// over the whole part, and automatic unfolding.
#include "support/reference_engine/reference_engine.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/update_candidates.h"
#include "unfold/face_normal.h"
#include "unfold/pattern_pools.h"
#include "unfold/placement.h"

#include <memory>

namespace nettor::reference {



void updateCandidates(EngineState& engine, UnfoldedPart& part, bool closing)
{
    UnfoldStatus& status = engine.status;
    part.bestCandidate = nullptr;
    double bestPriority = 0.0;
    bool found = false;
    // Only states change during the walk; the outline stays as it is. Its
    // storage is kept from one evaluation to the next (one per thread, as
    // the worker thread unfolds too).
    // A closing evaluation tests nothing against it.
    thread_local PartOutline outline;
    if (!closing) collectOutline(part, outline);

    for (Face* face : part.faces) {
        for (HalfEdge* h : face->outerLoop.halfEdges) {
            Edge* e = h->edge;
            if (!e || !e->halfEdge1 || !e->halfEdge2 || e->state == EdgeState::MarkedCut) continue;
            const HalfEdge* across = e->halfEdge1 == h ? e->halfEdge2 : e->halfEdge1;
            if (across->loop->face->unfolded) {
                e->state = h->foldPartner ? EdgeState::Fold : EdgeState::Cut;
            } else if (closing) {
                e->state = EdgeState::Blocked;
            } else if (canAttach(engine, outline, *face, *e)) {
                e->state = EdgeState::Candidate;
                found = true;
                const double priority = candidatePriority(*e, engine.settings.unfoldStrategy);
                if (priority > bestPriority) {
                    bestPriority = priority;
                    part.bestCandidate = e;
                }
            } else {
                e->state = EdgeState::Blocked;
            }
        }
    }

    if (!status.busy) engine.invalidateModelView();
    if (!found && !closing && status.unfoldedFaceCount != status.totalFaceCount && !status.busy)
        engine.message("Push [Start Face] button and specify the first face.");
}




int startPart(EngineState& engine, Face& face)
{
    Model& model = *face.object->model;
    UnfoldStatus& status = engine.status;
    // A face is placed once; placing it again would tear it from its part.
    if (face.unfolded) return status.totalFaceCount;

    status.invertAllowed = false;
    face.unfolded = 1;

    const auto& hs = face.outerLoop.halfEdges;
    const Vec3 normal = outwardNormal(face);
    for (std::size_t i = 0; i < hs.size(); ++i) {
        HalfEdge* h = hs[i];
        PatternPoint at;
        if (i == 1) {
            at = {hs[0]->edge ? hs[0]->edge->length
                              : length(hs[1]->origin->position - hs[0]->origin->position),
                  0.0};
        } else if (i > 1) {
            at = placeFanCorner(*hs[0]->point, *hs[i - 1]->point, hs[0]->origin->position,
                                hs[i - 1]->origin->position, h->origin->position, normal);
        }
        h->point = addPatternPoint(model, at);
        h->cornerCopy = addCornerCopy(model, h->origin->position);
    }

    if (model.currentPart) reference::updateCandidates(engine, *model.currentPart, true);

    auto part = std::make_unique<UnfoldedPart>();
    part->id = static_cast<std::int32_t>(model.parts.size());
    part->faces.push_back(&face);
    part->faceCount = 1;
    UnfoldedPart* created = part.get();
    model.parts.push_back(std::move(part));
    model.currentPart = created;
    face.part = created;

    ++status.unfoldedFaceCount;
    ++status.partCount;
    if (!status.quiet) {
        engine.notify(ViewChange::CountsChanged);
        engine.notify(ViewChange::PartGrew);
    }

    reference::updateCandidates(engine, *created, false);
    if (status.unfoldedFaceCount == status.totalFaceCount) {
        reference::finishUnfolding(engine, model);
        return 0;
    }
    return status.totalFaceCount;
}




int attachFace(EngineState& engine, Edge& edge)
{
    UnfoldStatus& status = engine.status;
    if (!edge.halfEdge1 || !edge.halfEdge2) return status.unfoldedFaceCount;

    const bool firstPlaced = edge.halfEdge1->loop->face->unfolded != 0;
    HalfEdge* b = firstPlaced ? edge.halfEdge2 : edge.halfEdge1; // in the new face
    HalfEdge* t = firstPlaced ? edge.halfEdge1 : edge.halfEdge2; // in the parent
    Face& face = *b->loop->face;
    Face& parent = *t->loop->face;
    // Only an edge from a placed face to an unplaced one can be crossed;
    // anything else would place a face twice or beside nothing.
    if (face.unfolded || !parent.unfolded || !parent.part || &face == &parent)
        return status.unfoldedFaceCount;
    Model& model = *face.object->model;
    UnfoldedPart& part = *parent.part;

    model.lastFace = &face;
    model.lastEdge = &edge;
    b->foldPartner = t;
    t->foldPartner = b;
    face.unfolded = 1;

    part.faces.push_back(&face);
    ++part.faceCount;
    face.part = &part;

    b->point = t->next->point;
    b->next->point = t->point;
    b->cornerCopy = t->next->cornerCopy;
    b->next->cornerCopy = t->cornerCopy;

    const Vec3 normal = outwardNormal(face);
    const Vec3& k = b->origin->position;
    for (HalfEdge* h = b->next->next; h != b; h = h->next) {
        h->point = addPatternPoint(model, placeFanCorner(*b->point, *h->prev->point, k,
                                                         h->prev->origin->position,
                                                         h->origin->position, normal));
        h->cornerCopy = addCornerCopy(model, h->origin->position);
    }

    ++status.unfoldedFaceCount;
    if (!status.quiet) {
        engine.notify(ViewChange::CountsChanged);
        engine.notify(ViewChange::PartGrew);
    }

    reference::updateCandidates(engine, part, false);
    if (status.unfoldedFaceCount == status.totalFaceCount) {
        reference::finishUnfolding(engine, model);
        return 0;
    }
    return status.unfoldedFaceCount;
}




bool growPart(EngineState& engine, UnfoldedPart& part)
{
    UnfoldStatus& status = engine.status;
    for (;;) {
        if (status.cancelRequested) return true;
        Edge* best = part.bestCandidate;
        if (!best) return false;
        const int before = status.unfoldedFaceCount;
        reference::attachFace(engine, *best);
        // A best candidate that could not be crossed would be taken again
        // and again; stop instead.
        if (status.unfoldedFaceCount == before) return false;
    }
}




bool unfoldAll(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    status.undoAvailable = false;

    for (std::size_t i = 0; i < model.parts.size(); ++i) {
        if (reference::growPart(engine, *model.parts[i])) return true;
    }
    for (auto& object : model.objects) {
        for (std::size_t i = 0; i < object->faces.size(); ++i) {
            if (status.cancelRequested) return true;
            Face* face = object->faces[i];
            if (face->unfolded) continue;
            reference::startPart(engine, *face);
            if (face->part && reference::growPart(engine, *face->part)) return true;
        }
    }
    return false;
}

} // namespace nettor::reference
