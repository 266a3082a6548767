#include "unfold/start_part.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/face_normal.h"
#include "unfold/finish_unfolding.h"
#include "unfold/pattern_pools.h"
#include "unfold/placement.h"
#include "unfold/update_candidates.h"

namespace nettor {

void startPart(EngineState& engine, Face& face)
{
    Model& model = *face.object->model;
    UnfoldStatus& status = engine.status;
    // A face is placed once; placing it again would tear it from its part.
    if (face.unfolded) return;

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

    if (model.currentPart) updateCandidates(engine, *model.currentPart, true);

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

    updateCandidates(engine, *created, false);
    if (status.unfoldedFaceCount == status.totalFaceCount) finishUnfolding(engine, model);
}

} // namespace nettor
