#include "unfold/unfold_all.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/grow_part.h"
#include "unfold/start_part.h"

namespace nettor {

bool unfoldAll(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    status.undoAvailable = false;

    for (std::size_t i = 0; i < model.parts.size(); ++i) {
        if (growPart(engine, *model.parts[i])) return true;
    }
    for (auto& object : model.objects) {
        for (std::size_t i = 0; i < object->faces.size(); ++i) {
            if (status.cancelRequested) return true;
            Face* face = object->faces[i];
            if (face->unfolded) continue;
            startPart(engine, *face);
            if (face->part && growPart(engine, *face->part)) return true;
        }
    }
    return false;
}

} // namespace nettor
