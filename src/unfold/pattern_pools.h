#pragma once
// New pattern points and corner copies, owned by the model's pools.
#include "model/unfold_records.h"
#include "model/vec3.h"

namespace nettor {

struct Model;

PatternPoint* addPatternPoint(Model& model, const PatternPoint& at);
CornerCopy* addCornerCopy(Model& model, const Vec3& position);

} // namespace nettor
