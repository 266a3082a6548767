#pragma once
// The camera of the 3D view and the mouse gestures that steer it: a
// trackball for the orientation, the model point shown at the window centre,
// and the distance along the viewing axis. The whole camera lives in one
// projection matrix.
#include "model/vec3.h"
#include "scene/trackball.h"

#include <array>
#include <cstdint>

namespace nettor {

// Which mouse button is held in the 3D view.
enum class ButtonState : std::int32_t { None = 0, Right = 1, Left = 2, Middle = 3 };

// The held keys that change a right drag, by their virtual-key codes.
constexpr int kShiftKey = 0x10;
constexpr int kControlKey = 0x11;

// Values of AppState::rightDragMode.
enum RightDragMode : std::int32_t { RotationDrag = 0, ZoomDrag = 1, MoveDrag = 2 };
// The mode after a double click: Rotation, Zoom, Move, Rotation, ...
std::int32_t nextRightDragMode(std::int32_t mode);

// The held key a right press goes by: Shift or Ctrl as the press finds the
// modifier keys, whatever key was last seen going down or up; any other key
// still held is kept.
int heldKeyAtPress(int heldKey, bool shiftDown, bool controlDown);

enum class Gesture { None, Rotate, Move, Zoom };
// What a mouse move does with these buttons, held key and right-drag mode.
// Any key other than Shift and Ctrl blocks right and middle drags.
Gesture gestureFor(ButtonState buttons, int heldKey, std::int32_t rightDragMode);

constexpr double kNearestCameraDistance = -0.7;
constexpr double kFarthestCameraDistance = -30.0;
constexpr double kInitialCameraDistance = -5.0;

class SceneCamera {
public:
    // A new trackball, the model centre at the origin, distance -5.
    void reset();

    // The window size in pixels; the halves are integer halves.
    void setViewSize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    int halfWidth() const { return width_ / 2; }
    int halfHeight() const { return height_ / 2; }

    // Right button pressed at (x, y) with this key held: a plain press
    // starts a trackball drag there; with Shift or Ctrl only the position is
    // taken; with any other key nothing is.
    void pressRight(int x, int y, int heldKey);
    // The cursor moved to (x, y) doing the gesture; returns whether the
    // camera changed. The last position becomes (x, y) in every case.
    bool moveTo(int x, int y, Gesture gesture);
    // Right button released: in Rotation mode the next drag starts from the
    // orientation reached.
    void releaseRight(std::int32_t rightDragMode);
    // The wheel turned by delta (120 a notch; away from the user is
    // positive and brings the model closer).
    void wheel(int delta);

    // Adds to the camera distance and keeps it between -30 and -0.7.
    void zoomBy(double step);
    // Shifts the model centre so that the model follows a cursor move of
    // (dx, dy) window pixels (dy upwards), 0.01 units a pixel.
    void moveBy(int dx, int dy);

    // The projection matrix (column-major): the view frustum, then the
    // distance, the orientation and the model centre.
    std::array<double, 16> projectionMatrix() const;
    // Where the eye is among the model's coordinates: the point the
    // projection sees everything from.
    Vec3 eyePosition() const;
    // How far from the eye the near plane cuts into what is in view: the
    // distance to its corners. Nothing farther from the eye is cut away.
    double nearReach() const;

    const Trackball& trackball() const { return trackball_; }
    Trackball& trackball() { return trackball_; }
    Vec3 modelCentre() const { return modelCentre_; }
    double cameraDistance() const { return cameraDistance_; }
    int lastX() const { return lastX_; }
    int lastY() const { return lastY_; }
    void setLastPosition(int x, int y) { lastX_ = x; lastY_ = y; }
    // Puts the camera where a saved view had it: the orientation (also the
    // start of the next drag), the model centre and the distance.
    void placeAt(const Quaternion& orientation, Vec3 centre, double distance)
    {
        trackball_.orientation = orientation;
        trackball_.startOrientation = orientation;
        rotationMatrix(orientation, trackball_.rotationMatrix);
        modelCentre_ = centre;
        cameraDistance_ = distance;
    }

private:
    // Half the height of the view on the near plane.
    double nearHalfHeight() const;
    void updateRadius() { trackball_.radius = trackballRadius(halfWidth(), halfHeight()); }

    Trackball trackball_;
    Vec3 modelCentre_;
    double cameraDistance_ = kInitialCameraDistance;
    int width_ = 0;
    int height_ = 0;
    int lastX_ = 0;
    int lastY_ = 0;
};

} // namespace nettor
