#include "unfold/take_up_model.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/prepare_for_unfolding.h"

namespace nettor {

void takeUpModel(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    status.invertAllowed = true;
    prepareForUnfolding(model);
    status.unfoldedFaceCount = 0;
    status.totalFaceCount = model.faceCount;
    status.partCount = 0;
    status.finished = false;
    status.busy = false;
    status.cancelRequested = false;
    status.quiet = false;
    status.searchRounds = 0;
}

} // namespace nettor
