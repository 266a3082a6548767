#pragma once
// Consistency of an unfolding in any state, finished or stopped half way:
// every face placed at most once and counted, parts are trees of folds,
// placed faces keep their shape, and edge states agree with their faces.
// Usable from GoogleTest and Qt Test alike.
#include <string>

namespace nettor {
struct Model;
struct UnfoldStatus;
}

namespace nettor::test {

// The first violation found, or an empty string; the status is the one of
// the session unfolding the model.
std::string unfoldingViolation(const Model& model, const UnfoldStatus& status);

} // namespace nettor::test
