#pragma once
// Projecting model points into window coordinates the way OpenGL does, from
// a snapshot of its matrices and viewport, so that picking needs no
// selection mode.
#include "model/vec3.h"

#include <array>

namespace nettor {

struct ViewSnapshot {
    std::array<double, 16> modelview{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; // column-major
    std::array<double, 16> projection{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::array<int, 4> viewport{0, 0, 0, 0}; // x, y, width, height
};

struct WindowPoint {
    double x = 0.0;     // window position, y upwards from the viewport's bottom
    double y = 0.0;
    double depth = 0.0; // the clip-space z, not divided by w
    double w = 1.0;     // the clip-space w: not positive behind the eye
};

WindowPoint projectPoint(const ViewSnapshot& view, const Vec3& p);

// The window y (upwards) of a widget row counted from the top.
double windowYOfRow(const ViewSnapshot& view, int row);

} // namespace nettor
