#pragma once
// The 3D model view: the current model drawn lit and flat-shaded through
// OpenGL (immediate mode on a compatibility context), each face coloured by
// its unfolding progress and each edge by its state. The right and middle
// buttons, the wheel, Shift and Ctrl steer the camera; a left click is a
// pick of manual unfolding. Everything that decides lives in the core
// (scene/ for the camera and picking, unfold/ for what a pick does); this
// widget turns events into those calls and the results into pixels.
#include "app/gl_texture.h"
#include "scene/camera.h"
#include "scene/projection.h"

#include <QOpenGLWidget>

class QOpenGLFunctions_1_1;

namespace nettor {
struct Edge;
struct Face;
struct FaceAppearance;
struct Material;
struct Model;
} // namespace nettor

class ModelView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit ModelView(QWidget* parent = nullptr);
    ~ModelView() override;
    QSize sizeHint() const override { return {320, 250}; }

    const nettor::SceneCamera& camera() const { return camera_; }
    // The matrices and viewport as OpenGL has them for the current camera,
    // read with the view's context current; picks work on this snapshot.
    nettor::ViewSnapshot readSnapshot();
    // The widget position (logical pixels) at which a model point appears.
    QPointF widgetPosition(const nettor::Vec3& point);
    // The candidates were evaluated again: a frame at once.
    void redrawNow();

public slots:
    void onUpdateHint(int number);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onModelLoaded();
    void applyProjection();
    void renderScene();
    void drawModel(const nettor::Model& model);
    void drawFinishedModel(const nettor::Model& model);
    void drawEdge(const nettor::Edge& edge);
    // Sets the face's colour and binds its image (texturing off without
    // one); returns whether the face is textured.
    bool applyAppearance(const nettor::FaceAppearance& look);
    void applyMaterial(const nettor::Material& material);
    void handleLeftRelease(int x, int y);
    // A widget position in the framebuffer's pixels.
    int toDevice(int logical) const;

    QOpenGLFunctions_1_1* gl_ = nullptr;
    nettor::SceneCamera camera_;
    nettor::ButtonState buttonState_ = nettor::ButtonState::None;
    int heldKey_ = 0;
    int pressX_ = 0;
    int pressY_ = 0;
    bool lightsReady_ = false;
    GlTextureCache textures_;
};
