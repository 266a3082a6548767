#pragma once
// The 3D model view: the current model drawn lit and flat-shaded through
// OpenGL 1.1 vertex arrays on a compatibility context, each face coloured by
// its unfolding progress and each edge by its state. The arrays are the
// core's (scene/model_arrays) and are built again only when the model, its
// state, its colours or its images change. The right and middle
// buttons, the wheel, Shift and Ctrl steer the camera; a left click is a
// pick of manual unfolding. Everything that decides lives in the core
// (scene/ for the camera and picking, unfold/ for what a pick does); this
// widget turns events into those calls and the results into pixels.
#include "app/gl_texture.h"
#include "scene/camera.h"
#include "scene/model_arrays.h"
#include "scene/pick_index.h"
#include "scene/projection.h"
#include "scene/visible_elements.h"

#include <QOpenGLWidget>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

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
    // Puts the camera where a saved project had it.
    void placeCamera(const nettor::Quaternion& orientation, nettor::Vec3 centre, double distance)
    {
        camera_.placeAt(orientation, centre, distance);
        update();
    }
    // The matrices and viewport as OpenGL has them for the current camera,
    // read with the view's context current; picks work on this snapshot.
    nettor::ViewSnapshot readSnapshot();
    // The widget position (logical pixels) at which a model point appears.
    QPointF widgetPosition(const nettor::Vec3& point);
    // The candidates were evaluated again: a frame at once.
    void redrawNow();

    // How the main pass draws: from the arrays, or face by face between
    // glBegin and glEnd as the view once did, kept as the reference the
    // arrays' pictures are compared with.
    enum class DrawPath { Arrays, Immediate };
    void setDrawPath(DrawPath path) { drawPath_ = path; }
    // How many primitives the arrays hand over between two flushes.
    void setPrimitivesAStep(std::uint32_t count)
    {
        primitivesAStep_ = std::max<std::uint32_t>(1, count);
        drawnSinceFlush_ = 0;
    }

public slots:
    void onUpdateHint(int number);
    // The model or its state changed: the arrays are built again for the
    // next frame.
    void modelChanged();

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
    void leaveEvent(QEvent* event) override;

private:
    void onModelLoaded();
    void applyProjection();
    void renderScene();
    // The model's faces and lines: the main pass, under any overlay.
    void drawMainPass(const nettor::Model& model);
    // From the arrays (model_view_arrays.cpp).
    void drawArrays(const nettor::Model& model);
    // Triangles or lines, from the elements given or (with none) from the
    // arrays in order, handed over in steps (see model_view_arrays.cpp).
    void drawInSteps(GLenum mode, const std::uint32_t* elements, std::uint32_t first, std::uint32_t count);
    const nettor::ModelArrays& currentArrays(const nettor::Model& model);
    // Immediate mode (model_view_immediate.cpp).
    void drawModel(const nettor::Model& model);
    void drawFinishedModel(const nettor::Model& model);
    void drawEdge(const nettor::Edge& edge);
    // Sets the face's colour and binds its image (texturing off without
    // one); returns whether the face is textured.
    bool applyAppearance(const nettor::FaceAppearance& look);
    void applyMaterial(const nettor::Material& material);
    void handleLeftRelease(int x, int y);
    // The faces' index for picks on the model, built once for it (with its
    // first picture).
    const nettor::FacePickIndex& pickIndex(const nettor::Model& model);
    // A widget position in the framebuffer's pixels.
    int toDevice(int logical) const;

    // The finished pattern between the two views (model_view_highlight.cpp):
    // the edge lit on the pages and the faces of the piece selected there,
    // drawn over the model after the main pass; the pointer resting on an
    // edge and a click on the finished model, passed to the session.
    void drawHighlights();
    void pointAt(int x, int y);
    void finishedClick(int x, int y);

    QOpenGLFunctions_1_1* gl_ = nullptr;
    nettor::SceneCamera camera_;
    nettor::ButtonState buttonState_ = nettor::ButtonState::None;
    int heldKey_ = 0;
    int pressX_ = 0;
    int pressY_ = 0;
    bool lightsReady_ = false;
    GlTextureCache textures_;
    DrawPath drawPath_ = DrawPath::Arrays;
    std::uint32_t primitivesAStep_ = 10000;
    std::uint32_t drawnSinceFlush_ = 0; // primitives handed over since the last flush

    // What the arrays were built for; any difference builds them again.
    struct ArraysSource {
        const nettor::Model* model = nullptr;
        nettor::ModelArraysOptions options;
        const nettor::TextureImage* image = nullptr;
        std::uint64_t imageSerial = 0;
        std::size_t images = 0;
        bool operator==(const ArraysSource&) const = default;
    };
    std::optional<nettor::ModelArrays> arrays_;
    ArraysSource arraysSource_;
    // What a frame draws of the arrays while unfolding, and what it was
    // found for; made again when any of that changes.
    struct VisibleFrom {
        nettor::Vec3 eye;
        double clearance = 0.0; // the near plane's reach
        bool culled = false;    // triangles turned away culled
        bool operator==(const VisibleFrom&) const = default;
    };
    nettor::VisibleElements visible_;
    std::optional<VisibleFrom> visibleFrom_;
    std::unique_ptr<nettor::FacePickIndex> pickIndex_;
};
