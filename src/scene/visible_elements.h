#pragma once
// What a frame of the 3D view draws of the model's arrays, seen from the
// eye: the triangles the rasteriser would keep, and the lines that their
// own object's near side does not hide. A triangle clearly turned away
// from the eye is left out only when the view culls such triangles anyway;
// one seen nearly edge on is left to the rasteriser's own decision. A line
// is left out when both its faces are clearly turned away, its object
// hides its far side (ModelArrays::lineFaces) and the eye is outside every
// object by more than `clearance`, the reach of the near plane, which would
// otherwise cut a window into the near side. What is left keeps its order
// within its batch, so the picture is the one every element would have
// drawn.
#include "model/vec3.h"
#include "scene/model_arrays.h"

#include <cstdint>
#include <vector>

namespace nettor {

struct ElementRange {
    std::uint32_t first = 0; // into the element list
    std::uint32_t count = 0;
};

struct VisibleElements {
    std::vector<std::uint32_t> faceCorners; // corner numbers, three a triangle
    std::vector<ElementRange> faceRanges;   // one a face batch
    std::vector<std::uint32_t> lineEnds;    // end numbers, two a line
    std::vector<ElementRange> lineRanges;   // one a line batch
};

void findVisibleElements(const ModelArrays& arrays, const Vec3& eye, double clearance, bool facesCulled,
                         VisibleElements& out);

} // namespace nettor
