#include "scene/camera.h"

#include <cmath>

namespace nettor {

std::int32_t nextRightDragMode(std::int32_t mode)
{
    const std::int32_t next = (mode + 1) % 3;
    return next < 0 ? next + 3 : next;
}

int heldKeyAtPress(int heldKey, bool shiftDown, bool controlDown)
{
    if (shiftDown) return kShiftKey;
    if (controlDown) return kControlKey;
    return heldKey == kShiftKey || heldKey == kControlKey ? 0 : heldKey;
}

Gesture gestureFor(ButtonState buttons, int heldKey, std::int32_t rightDragMode)
{
    const bool right = buttons == ButtonState::Right;
    if (right && heldKey == 0 && rightDragMode == RotationDrag) return Gesture::Rotate;
    if ((right && heldKey == kControlKey) || (right && heldKey == 0 && rightDragMode == MoveDrag))
        return Gesture::Move;
    if (buttons == ButtonState::Middle && heldKey == 0) return Gesture::Move;
    if ((right && heldKey == kShiftKey) || (right && heldKey == 0 && rightDragMode == ZoomDrag))
        return Gesture::Zoom;
    return Gesture::None;
}

void SceneCamera::reset()
{
    trackball_ = Trackball{};
    updateRadius();
    modelCentre_ = {0.0, 0.0, 0.0};
    cameraDistance_ = kInitialCameraDistance;
}

void SceneCamera::setViewSize(int width, int height)
{
    width_ = width;
    height_ = height;
    updateRadius();
}

void SceneCamera::pressRight(int x, int y, int heldKey)
{
    updateRadius();
    if (heldKey == 0) {
        setLastPosition(x, y);
        trackball_.beginDrag(spherePoint(x, y, halfWidth(), halfHeight(), trackball_.radius));
    } else if (heldKey == kShiftKey || heldKey == kControlKey) {
        setLastPosition(x, y);
    }
}

bool SceneCamera::moveTo(int x, int y, Gesture gesture)
{
    updateRadius();
    switch (gesture) {
    case Gesture::Rotate:
        trackball_.dragTo(spherePoint(x, y, halfWidth(), halfHeight(), trackball_.radius));
        break;
    case Gesture::Move:
        moveBy(x - lastX_, lastY_ - y);
        break;
    case Gesture::Zoom:
        zoomBy(0.01 * ((x - lastX_) + (y - lastY_)));
        break;
    case Gesture::None:
        break;
    }
    setLastPosition(x, y);
    return gesture != Gesture::None;
}

void SceneCamera::releaseRight(std::int32_t rightDragMode)
{
    updateRadius();
    if (rightDragMode == RotationDrag) trackball_.commit();
}

void SceneCamera::wheel(int delta)
{
    zoomBy(0.002 * static_cast<std::int16_t>(delta));
}

void SceneCamera::zoomBy(double step)
{
    cameraDistance_ += step;
    if (cameraDistance_ < kFarthestCameraDistance) cameraDistance_ = kFarthestCameraDistance;
    if (cameraDistance_ > kNearestCameraDistance) cameraDistance_ = kNearestCameraDistance;
}

void SceneCamera::moveBy(int dx, int dy)
{
    const float* m = trackball_.rotationMatrix; // entry (row r, column c) at m[c * 4 + r]
    double centre[3] = {modelCentre_.x, modelCentre_.y, modelCentre_.z};
    for (int i = 0; i < 3; ++i) centre[i] -= 0.01 * (dx * m[i * 4 + 0] + dy * m[i * 4 + 1]);
    modelCentre_ = {centre[0], centre[1], centre[2]};
}

Vec3 SceneCamera::eyePosition() const
{
    // The view takes x to R (x - centre) + (0, 0, distance), and the eye
    // sits at the origin of the view: x = centre + R^-1 (0, 0, -distance).
    // R^-1 is worked out, as R is only nearly a rotation in floats.
    const float* m = trackball_.rotationMatrix; // entry (row r, column c) at m[c * 4 + r]
    const Vec3 r0{m[0], m[4], m[8]}, r1{m[1], m[5], m[9]}, r2{m[2], m[6], m[10]};
    // The inverse's columns are r1 x r2, r2 x r0 and r0 x r1 over the
    // determinant; only the third is needed.
    const Vec3 c2 = cross(r0, r1);
    const double det = dot(r0, cross(r1, r2));
    if (!(std::fabs(det) > 1e-12)) return modelCentre_;
    const double k = -cameraDistance_ / det;
    return {modelCentre_.x + k * c2.x, modelCentre_.y + k * c2.y, modelCentre_.z + k * c2.z};
}

namespace {

constexpr double kNear = 0.134, kFar = 2000.0, kNearHalfWidth = 0.05;

} // namespace

double SceneCamera::nearHalfHeight() const
{
    const double t = width_ > 0 ? 0.1 * halfHeight() / static_cast<double>(width_) : 0.0;
    return t > 0.0 ? t : kNearHalfWidth; // no window yet: a square view
}

double SceneCamera::nearReach() const
{
    const double t = nearHalfHeight();
    return std::sqrt(kNear * kNear + kNearHalfWidth * kNearHalfWidth + t * t);
}

std::array<double, 16> SceneCamera::projectionMatrix() const
{
    // glFrustum(-0.05, 0.05, -t, t, 0.134, 2000) with t = 0.1 halfHeight / width.
    const double n = kNear, f = kFar, r = kNearHalfWidth;
    const double t = nearHalfHeight();
    std::array<double, 16> frustum{};
    frustum[0] = n / r;
    frustum[5] = n / t;
    frustum[10] = -(f + n) / (f - n);
    frustum[11] = -1.0;
    frustum[14] = -2.0 * f * n / (f - n);

    // view = T(0, 0, distance) * R * T(-centre), column-major.
    std::array<double, 16> view{};
    const float* m = trackball_.rotationMatrix;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row) view[c * 4 + row] = m[c * 4 + row];
    const double centre[3] = {modelCentre_.x, modelCentre_.y, modelCentre_.z};
    for (int row = 0; row < 3; ++row) {
        double shifted = 0.0;
        for (int c = 0; c < 3; ++c) shifted -= m[c * 4 + row] * centre[c];
        view[12 + row] = shifted;
    }
    view[14] += cameraDistance_;
    view[15] = 1.0;

    std::array<double, 16> out{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += frustum[k * 4 + row] * view[c * 4 + k];
            out[c * 4 + row] = sum;
        }
    return out;
}

} // namespace nettor
