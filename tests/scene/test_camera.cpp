// The camera of the 3D view: the trackball's sphere point and rotation, the
// gestures of the mouse, zoom limits, moving, and the projection matrix.
#include "scene/camera.h"
#include "scene/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace nettor;

namespace {

// The rotation matrix applied to a column vector.
Vec3 rotate(const float m[16], const Vec3& v)
{
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
            m[2] * v.x + m[6] * v.y + m[10] * v.z};
}

void expectNear(const Vec3& got, const Vec3& want, double tolerance = 1e-5)
{
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.z, want.z, tolerance);
}

TEST(Trackball, SpherePointInsideAndOutsideTheDisc)
{
    // Window 200 x 100: centre (100, 50), radius 50.
    const SpherePoint centre = spherePoint(100, 50, 100, 50, 50.0);
    EXPECT_FLOAT_EQ(centre.x, 0.0f);
    EXPECT_FLOAT_EQ(centre.y, 0.0f);
    EXPECT_FLOAT_EQ(centre.z, 1.0f);

    // Right of and above the centre, inside: y grows upwards on the sphere.
    const SpherePoint inside = spherePoint(130, 10, 100, 50, 50.0);
    EXPECT_FLOAT_EQ(inside.x, 0.6f);
    EXPECT_FLOAT_EQ(inside.y, 0.8f);
    EXPECT_NEAR(inside.z, 0.0f, 1e-3);
    const SpherePoint half = spherePoint(125, 50, 100, 50, 50.0);
    EXPECT_FLOAT_EQ(half.x, 0.5f);
    EXPECT_NEAR(half.z, std::sqrt(0.75f), 1e-6);
    EXPECT_FLOAT_EQ(half.w, 0.0f);

    // Outside the disc: the nearest point of the rim, on the plane z = 0.
    const SpherePoint outside = spherePoint(100 - 150, 50 + 200, 100, 50, 50.0);
    EXPECT_FLOAT_EQ(outside.x, -0.6f);
    EXPECT_FLOAT_EQ(outside.y, -0.8f);
    EXPECT_FLOAT_EQ(outside.z, 0.0f);

    EXPECT_DOUBLE_EQ(trackballRadius(30, 40), 50.0);
}

TEST(Trackball, QuarterTurnDragAndTheNextOneStartsFromIt)
{
    // Window 200 x 200, radius = half diagonal.
    SceneCamera camera;
    camera.setViewSize(200, 200);
    camera.reset();
    const double r = camera.trackball().radius;
    ASSERT_NEAR(r, std::sqrt(2.0) * 100.0, 1e-9);
    // A drag over 45 degrees of the sphere turns the model a quarter turn.
    const int right = 100 + static_cast<int>(std::lround(r * std::sin(M_PI / 4)));
    camera.pressRight(100, 100, 0);
    EXPECT_TRUE(camera.moveTo(right, 100, gestureFor(ButtonState::Right, 0, RotationDrag)));
    // The point facing the viewer turns to the right, about the y axis.
    expectNear(rotate(camera.trackball().rotationMatrix, {0, 0, 1}), {1, 0, 0}, 1e-2);
    expectNear(rotate(camera.trackball().rotationMatrix, {0, 1, 0}), {0, 1, 0}, 1e-2);
    camera.releaseRight(RotationDrag);

    // The same drag again adds a second quarter turn.
    camera.pressRight(100, 100, 0);
    camera.moveTo(right, 100, Gesture::Rotate);
    expectNear(rotate(camera.trackball().rotationMatrix, {0, 0, 1}), {0, 0, -1}, 2e-2);
    camera.releaseRight(RotationDrag);

    // A drag upwards tips the front towards the top.
    camera.reset();
    camera.pressRight(100, 100, 0);
    camera.moveTo(100, 100 - (right - 100), Gesture::Rotate);
    expectNear(rotate(camera.trackball().rotationMatrix, {0, 0, 1}), {0, 1, 0}, 1e-2);
    // Released in Zoom mode, the turn is not kept for the next drag.
    camera.releaseRight(ZoomDrag);
    camera.pressRight(100, 100, 0);
    camera.moveTo(100, 100, Gesture::Rotate);
    expectNear(rotate(camera.trackball().rotationMatrix, {0, 0, 1}), {0, 0, 1});
}

TEST(Trackball, AnyNonZeroQuaternionGivesARotation)
{
    float m[16];
    rotationMatrix({0.0f, 0.0f, 3.0f, 3.0f}, m); // 90 degrees about z, not normalised
    expectNear(rotate(m, {1, 0, 0}), {0, 1, 0});
    expectNear(rotate(m, {0, 0, 1}), {0, 0, 1});
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_FLOAT_EQ(m[12], 0.0f);
    EXPECT_FLOAT_EQ(m[3], 0.0f);
    rotationMatrix({0.0f, 0.0f, 0.0f, 0.0f}, m);
    expectNear(rotate(m, {1, 2, 3}), {1, 2, 3});

    // b (x) a applies a first: a quarter turn about x, then one about z.
    const float s = std::sqrt(0.5f);
    rotationMatrix(hamiltonProduct({0, 0, s, s}, {s, 0, 0, s}), m);
    expectNear(rotate(m, {0, 1, 0}), {0, 0, 1});
    expectNear(rotate(m, {1, 0, 0}), {0, 1, 0});
}

TEST(Camera, GesturesByButtonKeyAndMode)
{
    using B = ButtonState;
    EXPECT_EQ(gestureFor(B::Right, 0, RotationDrag), Gesture::Rotate);
    EXPECT_EQ(gestureFor(B::Right, 0, ZoomDrag), Gesture::Zoom);
    EXPECT_EQ(gestureFor(B::Right, 0, MoveDrag), Gesture::Move);
    for (int mode : {RotationDrag, ZoomDrag, MoveDrag}) {
        EXPECT_EQ(gestureFor(B::Right, kControlKey, mode), Gesture::Move);
        EXPECT_EQ(gestureFor(B::Right, kShiftKey, mode), Gesture::Zoom);
        EXPECT_EQ(gestureFor(B::Right, 'A', mode), Gesture::None) << "another key blocks the drag";
        EXPECT_EQ(gestureFor(B::Middle, 0, mode), Gesture::Move);
        EXPECT_EQ(gestureFor(B::Middle, kShiftKey, mode), Gesture::None);
        EXPECT_EQ(gestureFor(B::Left, 0, mode), Gesture::None);
        EXPECT_EQ(gestureFor(B::None, 0, mode), Gesture::None);
    }
    EXPECT_EQ(nextRightDragMode(RotationDrag), ZoomDrag);
    EXPECT_EQ(nextRightDragMode(ZoomDrag), MoveDrag);
    EXPECT_EQ(nextRightDragMode(MoveDrag), RotationDrag);
}

TEST(Camera, APressGoesByTheModifiersItFinds)
{
    // A Shift or Ctrl seen going down earlier but no longer held (its release
    // went to another window) no longer counts; one held now does.
    for (int earlier : {0, kShiftKey, kControlKey}) {
        EXPECT_EQ(heldKeyAtPress(earlier, false, false), 0) << earlier;
        EXPECT_EQ(heldKeyAtPress(earlier, true, false), kShiftKey) << earlier;
        EXPECT_EQ(heldKeyAtPress(earlier, false, true), kControlKey) << earlier;
    }
    // Another key still held blocks the drag, as it did.
    EXPECT_EQ(heldKeyAtPress('A', false, false), 'A');
    EXPECT_EQ(gestureFor(ButtonState::Right, heldKeyAtPress(kControlKey, false, false), RotationDrag),
              Gesture::Rotate);
}

TEST(Camera, PressWithAKeyTakesThePositionOrNothing)
{
    SceneCamera camera;
    camera.setViewSize(200, 100);
    camera.reset();
    camera.setLastPosition(1, 2);
    camera.pressRight(30, 40, 'A');
    EXPECT_EQ(camera.lastX(), 1);
    EXPECT_EQ(camera.lastY(), 2);
    camera.pressRight(30, 40, kShiftKey);
    EXPECT_EQ(camera.lastX(), 30);
    EXPECT_EQ(camera.lastY(), 40);
    // A move without gesture still takes the position.
    EXPECT_FALSE(camera.moveTo(35, 45, Gesture::None));
    EXPECT_EQ(camera.lastX(), 35);
    EXPECT_DOUBLE_EQ(camera.cameraDistance(), kInitialCameraDistance);
}

TEST(Camera, ZoomStaysBetweenTheLimits)
{
    SceneCamera camera;
    camera.reset();
    camera.wheel(120);
    EXPECT_NEAR(camera.cameraDistance(), -5.0 + 0.24, 1e-12);
    camera.wheel(-240);
    EXPECT_NEAR(camera.cameraDistance(), -5.0 - 0.24, 1e-12);
    for (int i = 0; i < 500; ++i) camera.wheel(-120);
    EXPECT_DOUBLE_EQ(camera.cameraDistance(), -30.0);
    for (int i = 0; i < 500; ++i) camera.wheel(120);
    EXPECT_DOUBLE_EQ(camera.cameraDistance(), -0.7);

    // Dragging right or down brings the model closer, one hundredth a pixel.
    camera.reset();
    camera.setViewSize(200, 100);
    camera.pressRight(50, 50, kShiftKey);
    camera.moveTo(60, 70, Gesture::Zoom);
    EXPECT_NEAR(camera.cameraDistance(), -5.0 + 0.3, 1e-12);
    camera.moveTo(0, 0, Gesture::Zoom);
    EXPECT_NEAR(camera.cameraDistance(), -5.0 + 0.3 - 1.3, 1e-12);
    camera.moveTo(10000, 0, Gesture::Zoom);
    EXPECT_DOUBLE_EQ(camera.cameraDistance(), -0.7);
}

TEST(Camera, TheModelFollowsAMove)
{
    SceneCamera camera;
    camera.setViewSize(200, 200);
    camera.reset();
    camera.pressRight(100, 100, kControlKey);
    camera.moveTo(150, 80, Gesture::Move); // 50 right, 20 up
    expectNear(camera.modelCentre(), {-0.5, -0.2, 0});

    // Turned half round about y (a drag from the centre to beyond the rim),
    // moving right shifts the centre along +x.
    camera.reset();
    const int right = 100 + static_cast<int>(2 * camera.trackball().radius);
    camera.pressRight(100, 100, 0);
    camera.moveTo(right, 100, Gesture::Rotate);
    camera.setLastPosition(100, 100);
    camera.moveTo(110, 100, Gesture::Move);
    expectNear(camera.modelCentre(), {0.1, 0, 0}, 2e-3);
}

TEST(Camera, ProjectionPutsTheCentreInTheMiddleAndFollowsTheFrustum)
{
    SceneCamera camera;
    camera.setViewSize(200, 100);
    camera.reset();
    ViewSnapshot view;
    view.projection = camera.projectionMatrix();
    view.viewport = {0, 0, 200, 100};
    const WindowPoint centre = projectPoint(view, {0, 0, 0});
    EXPECT_NEAR(centre.x, 100.0, 1e-9);
    EXPECT_NEAR(centre.y, 50.0, 1e-9);
    EXPECT_NEAR(centre.w, 5.0, 1e-9);

    // x = 1 at distance 5: the near plane 0.134 spans +-0.05.
    const WindowPoint side = projectPoint(view, {1, 0, 0});
    EXPECT_NEAR(side.x, 100.0 + 100.0 * (0.134 / 0.05) / 5.0, 1e-9);
    // Vertically the same scale (0.1 x halfHeight / width = 0.025 for 50 pixels).
    const WindowPoint up = projectPoint(view, {0, 1, 0});
    EXPECT_NEAR(up.y, 50.0 + 50.0 * (0.134 / 0.025) / 5.0, 1e-9);
    // Nearer points have a smaller depth.
    EXPECT_LT(projectPoint(view, {0, 0, 1}).depth, projectPoint(view, {0, 0, -1}).depth);

    // The model centre is what the window centre shows.
    camera.pressRight(100, 50, kControlKey);
    camera.moveTo(80, 60, Gesture::Move);
    view.projection = camera.projectionMatrix();
    const WindowPoint moved = projectPoint(view, camera.modelCentre());
    EXPECT_NEAR(moved.x, 100.0, 1e-9);
    EXPECT_NEAR(moved.y, 50.0, 1e-9);
}

// A camera placed where another was, as a project's saved view is put
// back, projects as that one does; and its eye is where every point of the
// view is seen from: the projection takes it to no direction at all.
TEST(Camera, PlacedWhereAnotherWasItProjectsAsThatOneAndSeesFromItsEye)
{
    SceneCamera turned;
    turned.setViewSize(300, 200);
    turned.reset();
    turned.pressRight(150, 100, 0);
    turned.moveTo(230, 40, Gesture::Rotate);
    turned.releaseRight(RotationDrag);
    turned.setLastPosition(150, 100);
    turned.moveTo(170, 90, Gesture::Move);
    turned.zoomBy(1.5);

    SceneCamera placed;
    placed.setViewSize(300, 200);
    placed.reset();
    placed.placeAt(turned.trackball().orientation, turned.modelCentre(), turned.cameraDistance());
    const std::array<double, 16> a = turned.projectionMatrix(), b = placed.projectionMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(b[i], a[i], 1e-12) << "entry " << i;

    for (const SceneCamera* camera : {&turned, &placed}) {
        const std::array<double, 16> p = camera->projectionMatrix();
        const Vec3 e = camera->eyePosition();
        for (int row : {0, 1, 3}) // x, y and w of the eye in clip space
            EXPECT_NEAR(p[row] * e.x + p[4 + row] * e.y + p[8 + row] * e.z + p[12 + row], 0.0, 1e-9) << row;
        EXPECT_NEAR(length(e - camera->modelCentre()), -camera->cameraDistance(), 1e-6);
    }
}

// Whatever the near plane cuts away of what is in view lies within its
// reach of the eye, and the reach is no larger than it needs to be.
TEST(Camera, TheNearPlaneCutsAwayNothingBeyondItsReach)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    SceneCamera camera;
    camera.setViewSize(300, 200);
    camera.reset();
    camera.pressRight(150, 100, 0);
    camera.moveTo(190, 130, Gesture::Rotate);
    const std::array<double, 16> p = camera.projectionMatrix();
    const Vec3 eye = camera.eyePosition();
    const double reach = camera.nearReach();
    double farthestCut = 0.0;
    for (int i = 0; i < 200000; ++i) {
        const Vec3 q = eye + Vec3{unit(rng), unit(rng), unit(rng)} * (1.5 * reach);
        auto clip = [&](int row) { return p[row] * q.x + p[4 + row] * q.y + p[8 + row] * q.z + p[12 + row]; };
        const double x = clip(0), y = clip(1), z = clip(2), w = clip(3);
        if (!(w > 0.0) || std::fabs(x) > w || std::fabs(y) > w || z >= -w) continue; // not cut away in view
        farthestCut = std::max(farthestCut, length(q - eye));
    }
    EXPECT_LE(farthestCut, reach * (1.0 + 1e-9));
    EXPECT_GT(farthestCut, 0.95 * reach);
}

TEST(Projection, KnownPointWithPlainMatrices)
{
    ViewSnapshot view;
    view.viewport = {10, 20, 200, 100};
    view.modelview[12] = 0.25; // a translation by x + 0.25
    view.projection[15] = 2.0; // w = 2
    const WindowPoint p = projectPoint(view, {0.75, -1.0, 0.6});
    EXPECT_DOUBLE_EQ(p.x, 10 + 200 * (0.5 + 1.0) / 2.0);
    EXPECT_DOUBLE_EQ(p.y, 20 + 100 * (-0.5 + 1.0) / 2.0);
    EXPECT_DOUBLE_EQ(p.depth, 0.6) << "not divided by w";
    EXPECT_DOUBLE_EQ(windowYOfRow(view, 30), 70.0);
}

} // namespace
