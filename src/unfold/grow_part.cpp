#include "unfold/grow_part.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/attach_face.h"

namespace nettor {

bool growPart(EngineState& engine, UnfoldedPart& part)
{
    UnfoldStatus& status = engine.status;
    for (;;) {
        if (status.cancelRequested) return true;
        Edge* best = part.bestCandidate;
        if (!best) return false;
        const int before = status.unfoldedFaceCount;
        attachFace(engine, *best);
        // A best candidate that could not be crossed would be taken again
        // and again; stop instead.
        if (status.unfoldedFaceCount == before) return false;
    }
}

} // namespace nettor
