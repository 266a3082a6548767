#include "unfold/grow_part.h"

#include "model/mesh.h"
#include "state/app_state.h"
#include "unfold/attach_face.h"

namespace nettor {

bool growPart(UnfoldedPart& part)
{
    UnfoldStatus& status = appState().status;
    for (;;) {
        if (status.cancelRequested) return true;
        Edge* best = part.bestCandidate;
        if (!best) return false;
        const int before = status.unfoldedFaceCount;
        attachFace(*best);
        // A best candidate that could not be crossed would be taken again
        // and again; stop instead.
        if (status.unfoldedFaceCount == before) return false;
    }
}

} // namespace nettor
