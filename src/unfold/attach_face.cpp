#include "unfold/attach_face.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/face_normal.h"
#include "unfold/finish_unfolding.h"
#include "unfold/pattern_pools.h"
#include "unfold/placement.h"
#include "unfold/update_candidates.h"

namespace nettor {

void attachFace(EngineState& engine, Edge& edge)
{
    UnfoldStatus& status = engine.status;
    if (!edge.halfEdge1 || !edge.halfEdge2) return;

    const bool firstPlaced = edge.halfEdge1->loop->face->unfolded != 0;
    HalfEdge* b = firstPlaced ? edge.halfEdge2 : edge.halfEdge1; // in the new face
    HalfEdge* t = firstPlaced ? edge.halfEdge1 : edge.halfEdge2; // in the parent
    Face& face = *b->loop->face;
    Face& parent = *t->loop->face;
    // Only an edge from a placed face to an unplaced one can be crossed;
    // anything else would place a face twice or beside nothing.
    if (face.unfolded || !parent.unfolded || !parent.part || &face == &parent)
        return;
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

    updateCandidatesAfterAttach(engine, part, face);
    if (status.unfoldedFaceCount == status.totalFaceCount) finishUnfolding(engine, model);
}

} // namespace nettor
