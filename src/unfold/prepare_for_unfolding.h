#pragma once
// Preparing a freshly loaded model for unfolding.

namespace nettor {

struct Model;

// Centres the model on the origin and scales it so that its largest
// half-extent is 1 (unitScale records the factor), then sets every edge's
// length, fold angle and ridge flag, marks one-sided edges Border, and
// computes the mean edge lengths.
void prepareForUnfolding(Model& model);

} // namespace nettor
