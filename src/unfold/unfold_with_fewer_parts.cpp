#include "unfold/unfold_with_fewer_parts.h"

#include "model/mesh.h"
#include "state/engine_state.h"
#include "unfold/cut_tree_mesh.h"
#include "unfold/fewer_parts_search.h"
#include "unfold/grow_part.h"
#include "unfold/unfold_all.h"
#include "unfold/unfold_along_folds.h"

namespace nettor {

bool unfoldWithFewerParts(EngineState& engine, Model& model)
{
    UnfoldStatus& status = engine.status;
    status.undoAvailable = false;
    status.bestPartCount = 0;
    status.searchRounds = 0;

    for (std::size_t i = 0; i < model.parts.size(); ++i)
        if (growPart(engine, *model.parts[i])) return true;
    if (status.cancelRequested) return true;

    const CutTreeMesh mesh = buildCutTreeMesh(model, engine.settings.unfoldStrategy);
    const PartSearchResult found = searchFewerParts(mesh, engine.partSearch, engine.overlapCheck.load() != 0,
                                                    &status.cancelRequested, &status.bestPartCount,
                                                    static_cast<int>(model.parts.size()));
    status.searchRounds = found.rounds;
    if (engine.listener) engine.listener->statusMessage(partSearchSummary(found.rounds, engine.partSearch.seed));
    std::vector<Edge*> folds;
    for (std::size_t i = 0; i < found.folds.size(); ++i)
        if (found.folds[i]) folds.push_back(mesh.links[i].edge);
    unfoldAlongFolds(engine, model, folds);
    return false;
}

bool unfoldAutomatically(EngineState& engine, Model& model)
{
    return engine.partSearch.enabled ? unfoldWithFewerParts(engine, model) : unfoldAll(engine, model);
}

} // namespace nettor
