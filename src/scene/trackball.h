#pragma once
// The virtual trackball that turns the model with a right drag: the cursor
// is lifted onto a sphere around the window centre, and the turn from the
// point of the press to the point under the cursor is added to the
// orientation the drag began with.
#include "scene/quaternion.h"

namespace nettor {

struct SpherePoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f; // always 0
};

// The point of the sphere of the given radius (pixels) under window
// position (x, y), y downwards, with the window centre at (halfWidth,
// halfHeight). Outside the unit disc it is the nearest point of the rim.
SpherePoint spherePoint(int x, int y, int halfWidth, int halfHeight, double radius);

// The radius for a window: half its diagonal, so that every point of the
// window lies inside the disc.
double trackballRadius(int halfWidth, int halfHeight);

struct Trackball {
    double radius = 0.0;
    Quaternion orientation;
    Quaternion startOrientation;
    Quaternion dragRotation;
    SpherePoint startVector;
    SpherePoint currentVector;
    float rotationMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // A drag begins at this sphere point.
    void beginDrag(const SpherePoint& start) { startVector = start; }
    // The cursor is now over this sphere point: the drag rotation is
    // (start x current, start . current), not normalised, so the model turns
    // by twice the angle between them; the orientation is the drag rotation
    // applied after the start orientation.
    void dragTo(const SpherePoint& current);
    // The drag ended: the next one starts from the orientation reached.
    void commit() { startOrientation = orientation; }
};

} // namespace nettor
