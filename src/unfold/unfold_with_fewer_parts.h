#pragma once
// Automatic unfolding that searches for fewer parts before placing faces.

namespace nettor {

struct EngineState;
struct Model;

// Grows the existing parts as automatic unfolding does, then searches a cut
// tree for the remaining faces (for as long as the search settings allow,
// or until cancelRequested) and unfolds along the best one found, so that
// the unfolding completes even when cancelled during the search. Returns
// true when a cancel stopped it before the search, leaving the unfolding
// unfinished as automatic unfolding does.
bool unfoldWithFewerParts(EngineState& engine, Model& model);

// unfoldWithFewerParts when the search is switched on, else unfoldAll.
bool unfoldAutomatically(EngineState& engine, Model& model);

} // namespace nettor
