#include "unfold/pattern_pools.h"

#include "model/mesh.h"

namespace nettor {

PatternPoint* addPatternPoint(Model& model, const PatternPoint& at)
{
    return model.pointPool.add(at);
}

CornerCopy* addCornerCopy(Model& model, const Vec3& position)
{
    return model.cornerPool.add(CornerCopy{position.x, position.y, position.z});
}

} // namespace nettor
