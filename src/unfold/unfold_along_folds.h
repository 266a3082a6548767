#pragma once
// Unfolding the remaining faces along a chosen set of fold edges.
#include <vector>

namespace nettor {

struct EngineState;
struct Model;
struct Edge;

// Places every face that is not placed yet, as automatic unfolding does
// (a part at each unplaced face in model order, grown across its best
// candidates), but joins faces across the given edges only: every other
// two-sided edge next to an unplaced face is treated as marked to be cut
// and ends up Cut. Edges marked by the user stay marked. The result is an
// ordinary completed unfolding; a fold the overlap test refuses leaves the
// face for another part. Not cancellable.
void unfoldAlongFolds(EngineState& engine, Model& model, const std::vector<Edge*>& folds);

} // namespace nettor
