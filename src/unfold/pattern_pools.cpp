#include "unfold/pattern_pools.h"

#include "model/mesh.h"

namespace nettor {

PatternPoint* addPatternPoint(Model& model, const PatternPoint& at)
{
    model.pointPool.push_back(std::make_unique<PatternPoint>(at));
    return model.pointPool.back().get();
}

CornerCopy* addCornerCopy(Model& model, const Vec3& position)
{
    model.cornerPool.push_back(std::make_unique<CornerCopy>(CornerCopy{position.x, position.y, position.z}));
    return model.cornerPool.back().get();
}

} // namespace nettor
