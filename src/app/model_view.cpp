#include "app/model_view.h"

#include "app/gl_texture.h"

#include "model/mesh.h"
#include "scene/face_appearance.h"
#include "scene/pick.h"
#include "session/app_state.h"
#include "unfold/manual_unfolding.h"
#include "unfold/take_up_model.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QWheelEvent>

#include <cmath>

namespace {

nettor::Material makeMaterial(std::initializer_list<float> ambient, std::initializer_list<float> diffuse,
                              std::initializer_list<float> specular, float shininess)
{
    nettor::Material m;
    std::copy(ambient.begin(), ambient.end(), m.ambient);
    std::copy(diffuse.begin(), diffuse.end(), m.diffuse);
    std::copy(specular.begin(), specular.end(), m.specular);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    std::copy(black, black + 4, m.emission);
    m.shininess = shininess;
    return m;
}

// Faces not unfolded yet: pale blue.
const nettor::Material& defaultFaceMaterial()
{
    static const nettor::Material m =
        makeMaterial({0.85f, 0.85f, 1.0f, 1.0f}, {0.85f, 0.85f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f);
    return m;
}

// Unfolded faces: brown.
const nettor::Material& unfoldedFaceMaterial()
{
    static const nettor::Material m =
        makeMaterial({0.779385f, 0.526102f, 0.4f, 1.0f}, {0.827539f, 0.504409f, 0.4f, 1.0f},
                     {0.095591f, 0.095591f, 0.095591f, 1.0f}, 3.0f);
    return m;
}

// Faces showing their material's image: white, so that the texels keep
// their colours where the light falls on the face.
const nettor::Material& texturedFaceMaterial()
{
    static const nettor::Material m =
        makeMaterial({0.4f, 0.4f, 0.4f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f);
    return m;
}

// The virtual-key code a key event stands for: Shift and Ctrl by their
// codes, any other key by a code of its own that is never 0.
int virtualKeyOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Shift: return nettor::kShiftKey;
    case Qt::Key_Control: return nettor::kControlKey;
    default: break;
    }
    const int key = event->key() & 0xFFFF;
    return key == 0 || key == nettor::kShiftKey || key == nettor::kControlKey ? 0xFF : key;
}

} // namespace

ModelView::ModelView(QWidget* parent) : QOpenGLWidget(parent)
{
    setMinimumSize(50, 50);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    camera_.reset();
}

ModelView::~ModelView()
{
    // The view releases the last model when it goes, at the end of the program.
    nettor::appState().replaceModel(nullptr);
    makeCurrent();
    if (gl_) textures_.clear(*gl_);
    gl_ = nullptr;
    doneCurrent();
}

void ModelView::initializeGL()
{
    gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context());
    lightsReady_ = false;
    if (!gl_) return; // no compatibility context: the view stays blank
    gl_->glFrontFace(GL_CCW);
    gl_->glShadeModel(GL_FLAT);
}

void ModelView::resizeGL(int, int)
{
    camera_.setViewSize(width(), height());
    nettor::appState().modelViewSize = {width(), height()};
}

int ModelView::toDevice(int logical) const
{
    return static_cast<int>(std::lround(logical * devicePixelRatioF()));
}

void ModelView::applyProjection()
{
    if (!gl_) return;
    camera_.setViewSize(width(), height());
    gl_->glViewport(0, 0, toDevice(width()), toDevice(height()));
    gl_->glMatrixMode(GL_PROJECTION);
    const std::array<double, 16> projection = camera_.projectionMatrix();
    gl_->glLoadMatrixd(projection.data());
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadIdentity();
}

nettor::ViewSnapshot ModelView::readSnapshot()
{
    nettor::ViewSnapshot view;
    makeCurrent();
    if (gl_) {
        applyProjection();
        gl_->glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview.data());
        gl_->glGetDoublev(GL_PROJECTION_MATRIX, view.projection.data());
        gl_->glGetIntegerv(GL_VIEWPORT, view.viewport.data());
    }
    doneCurrent();
    return view;
}

QPointF ModelView::widgetPosition(const nettor::Vec3& point)
{
    const nettor::ViewSnapshot view = readSnapshot();
    const nettor::WindowPoint p = nettor::projectPoint(view, point);
    const double ratio = devicePixelRatioF();
    return {p.x / ratio, (view.viewport[3] - p.y) / ratio};
}

void ModelView::paintGL()
{
    applyProjection();
    renderScene();
    drawHighlights();
}

void ModelView::renderScene()
{
    if (!gl_) return;
    const nettor::AppState& state = nettor::appState();
    if (!lightsReady_) {
        const float ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        gl_->glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        gl_->glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        gl_->glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        gl_->glDisable(GL_CULL_FACE);
        gl_->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        lightsReady_ = true;
    }
    // A directional light from the viewer, whichever way the model is turned.
    float m[16];
    gl_->glGetFloatv(GL_PROJECTION_MATRIX, m);
    const float direction[4] = {-m[2], -m[6], -m[10], 0.0f};
    gl_->glLightfv(GL_LIGHT0, GL_POSITION, direction);
    gl_->glEnable(GL_LIGHT0);
    gl_->glEnable(GL_LIGHTING);
    gl_->glDepthFunc(GL_LEQUAL);
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glClearDepth(1.0);
    if (state.settings.showInvertedFaces) gl_->glDisable(GL_CULL_FACE);
    else gl_->glEnable(GL_CULL_FACE);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The model's faces and lines first; anything drawn over them follows.
    if (const nettor::Model* model = state.model.get()) drawMainPass(*model);
    gl_->glFlush();
}

void ModelView::applyMaterial(const nettor::Material& material)
{
    gl_->glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient);
    gl_->glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse);
    gl_->glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular);
    gl_->glMaterialfv(GL_FRONT, GL_EMISSION, material.emission);
    gl_->glMaterialf(GL_FRONT, GL_SHININESS, material.shininess);
}

bool ModelView::applyAppearance(const nettor::FaceAppearance& look)
{
    switch (look.colour) {
    case nettor::FaceColour::Unfolded: applyMaterial(unfoldedFaceMaterial()); break;
    case nettor::FaceColour::Material: applyMaterial(*look.material); break;
    case nettor::FaceColour::Textured: applyMaterial(texturedFaceMaterial()); break;
    case nettor::FaceColour::Default: applyMaterial(defaultFaceMaterial()); break;
    }
    return textures_.bind(*gl_, look.texture);
}

void ModelView::drawMainPass(const nettor::Model& model)
{
    if (drawPath_ == DrawPath::Immediate) {
        if (nettor::appState().status.finished) drawFinishedModel(model);
        else drawModel(model);
        return;
    }
    drawArrays(model);
}

void ModelView::onModelLoaded()
{
    pickIndex_.reset(); // built again with the next picture
    nettor::Model* model = nettor::appState().model.get();
    if (!model) return;
    // The session has taken the model up; the matrices are set afresh on
    // every frame.
    camera_.reset();
    update();
}

void ModelView::redrawNow()
{
    repaint();
}

void ModelView::modelChanged()
{
    arrays_.reset();
    update();
}

void ModelView::onUpdateHint(int number)
{
    // Whatever the hint, the model may have changed with it; only the lit
    // edge and the selected part, which the overlay draws, leave it alone.
    if (static_cast<nettor::ViewChange>(number) != nettor::ViewChange::LayoutSelectionChanged) arrays_.reset();
    using nettor::ViewChange;
    switch (static_cast<ViewChange>(number)) {
    case ViewChange::ModelReplaced:
        onModelLoaded();
        break;
    case ViewChange::CandidatesReevaluated:
        redrawNow();
        break;
    case ViewChange::PartClosed:
    case ViewChange::EdgePickUndone:
    case ViewChange::CountsChanged:
    case ViewChange::PartGrew:
    case ViewChange::PartShrank:
    case ViewChange::LayoutChanged:
    case ViewChange::LayoutSelectionChanged:
        update();
        break;
    // UnfoldingRequested: nothing changes before the unfolding does, and a
    // frame drawn while the worker unfolds would only slow it down; the
    // runner has the views drawn once it has ended.
    default:
        break;
    }
}

void ModelView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool loaded = nettor::appState().model != nullptr;
    switch (event->button()) {
    case Qt::LeftButton:
        buttonState_ = nettor::ButtonState::Left;
        pressX_ = at.x();
        pressY_ = at.y();
        break;
    case Qt::RightButton:
        buttonState_ = nettor::ButtonState::Right;
        if (!loaded) break;
        pressX_ = at.x();
        pressY_ = at.y();
        // Shift and Ctrl as they are now, also when pressed before the view
        // had the focus or released while another window had it.
        heldKey_ = nettor::heldKeyAtPress(heldKey_, event->modifiers() & Qt::ShiftModifier,
                                          event->modifiers() & Qt::ControlModifier);
        camera_.pressRight(at.x(), at.y(), heldKey_);
        break;
    case Qt::MiddleButton:
        buttonState_ = nettor::ButtonState::Middle;
        heldKey_ = nettor::heldKeyAtPress(heldKey_, event->modifiers() & Qt::ShiftModifier,
                                          event->modifiers() & Qt::ControlModifier);
        break;
    default:
        break;
    }
}

void ModelView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click, then the next right-drag mode.
    mousePressEvent(event);
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    nettor::AppState& state = nettor::appState();
    state.rightDragMode = nettor::nextRightDragMode(state.rightDragMode);
    nettor::notifyViews(nettor::ViewChange::CountsChanged);
}

void ModelView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    switch (event->button()) {
    case Qt::LeftButton:
        buttonState_ = nettor::ButtonState::None;
        handleLeftRelease(at.x(), at.y());
        break;
    case Qt::RightButton:
        buttonState_ = nettor::ButtonState::None;
        if (nettor::appState().model) camera_.releaseRight(nettor::appState().rightDragMode);
        break;
    case Qt::MiddleButton:
        buttonState_ = nettor::ButtonState::None;
        break;
    default:
        break;
    }
}

void ModelView::handleLeftRelease(int x, int y)
{
    const nettor::Model* model = nettor::appState().model.get();
    if (!model) return;
    if (nettor::appState().status.finished) {
        if (nettor::isClick(pressX_, pressY_, x, y)) finishedClick(x, y);
        return;
    }
    // The matrices are read once, and only when the release is a pick.
    bool haveSnapshot = false;
    nettor::ViewSnapshot view;
    auto snapshot = [&]() -> const nettor::ViewSnapshot& {
        if (!haveSnapshot) {
            view = readSnapshot();
            haveSnapshot = true;
        }
        return view;
    };
    const nettor::FacePickIndex& index = pickIndex(*model);
    nettor::ModelPicker picker{
        [&](int px, int py) { return index.pickFace(snapshot(), toDevice(px), toDevice(py)); },
        [&](int px, int py) { return index.pickEdge(snapshot(), toDevice(px), toDevice(py)); }};
    nettor::AppState& state = nettor::appState();
    state.modelClick(state.pickMode, pressX_, pressY_, x, y, picker);
    if (haveSnapshot) {
        update();
        // The window's commands follow the pick (Undo the last edge pick).
        nettor::invalidateModelView();
    }
}

const nettor::FacePickIndex& ModelView::pickIndex(const nettor::Model& model)
{
    std::size_t faces = 0;
    for (const auto& object : model.objects) faces += object->faces.size();
    if (!pickIndex_ || pickIndex_->model() != &model || pickIndex_->faceCount() != faces)
        pickIndex_ = std::make_unique<nettor::FacePickIndex>(model);
    return *pickIndex_;
}

void ModelView::mouseMoveEvent(QMouseEvent* event)
{
    if (!nettor::appState().model) return;
    const QPoint at = event->position().toPoint();
    if (buttonState_ == nettor::ButtonState::None) pointAt(at.x(), at.y());
    const nettor::Gesture gesture = nettor::gestureFor(buttonState_, heldKey_, nettor::appState().rightDragMode);
    if (camera_.moveTo(at.x(), at.y(), gesture)) update();
}

void ModelView::wheelEvent(QWheelEvent* event)
{
    camera_.wheel(event->angleDelta().y());
    update();
    event->accept();
}

void ModelView::keyPressEvent(QKeyEvent* event)
{
    heldKey_ = virtualKeyOf(event);
    QOpenGLWidget::keyPressEvent(event);
}

void ModelView::focusOutEvent(QFocusEvent* event)
{
    // The release of a key held now goes to another window: forget the key.
    heldKey_ = 0;
    QOpenGLWidget::focusOutEvent(event);
}

void ModelView::keyReleaseEvent(QKeyEvent* event)
{
    // The system repeats a held key as release and press pairs.
    if (!event->isAutoRepeat()) heldKey_ = 0;
    QOpenGLWidget::keyReleaseEvent(event);
}
