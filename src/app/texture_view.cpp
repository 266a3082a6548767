#include "app/texture_view.h"

#include "app/gl_texture.h"

#include "pattern/textured_pattern.h"
#include "session/app_state.h"

#include <QMouseEvent>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>

TextureView::TextureView(QWidget* parent) : QOpenGLWidget(parent)
{
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    setFormat(format);
    if (nettor::Model* model = nettor::appState().model.get()) nettor::resetTextureScale(*model);
}

TextureView::~TextureView()
{
    makeCurrent();
    if (gl_) textures_.clear(*gl_);
    gl_ = nullptr;
    doneCurrent();
}

void TextureView::initializeGL()
{
    gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context());
    if (!gl_) return; // no compatibility context: the window stays blank
    gl_->glClearColor(1, 1, 1, 1);
    gl_->glDepthFunc(GL_LEQUAL);
    gl_->glEnable(GL_DEPTH_TEST);
}

void TextureView::resizeGL(int, int)
{
    applyProjection();
}

void TextureView::applyProjection()
{
    if (!gl_) return;
    // The picture, its pan and its size are in the widget's logical pixels,
    // so that on a scaled screen it keeps its size and follows the cursor;
    // only the viewport counts the framebuffer's pixels.
    const qreal ratio = devicePixelRatioF();
    const int w = width(), h = height();
    gl_->glMatrixMode(GL_PROJECTION);
    gl_->glLoadIdentity();
    gl_->glOrtho(-(w / 2), w / 2, -(h / 2), h / 2, 1, 10);
    gl_->glViewport(0, 0, qRound(w * ratio), qRound(h * ratio));
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadIdentity();
}

void TextureView::paintGL()
{
    if (!gl_) return;
    applyProjection();
    gl_->glClearColor(1, 1, 1, 1);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTexturedPattern();
}

void TextureView::drawTexturedPattern()
{
    nettor::AppState& state = nettor::appState();
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadIdentity();
    gl_->glTranslated(panX_, panY_, -2);
    gl_->glDisable(GL_TEXTURE_2D);
    gl_->glDisable(GL_LIGHTING);
    gl_->glLineWidth(1);
    if (!state.model || state.model->parts.empty()) return;

    nettor::TexturedPatternOptions options;
    options.lineTransparency = state.textureLineTransparency;
    options.showSilhouette = state.textureShowSilhouette;
    const nettor::TexturedPicture picture = nettor::buildTexturedPattern(*state.model, state.settings, options);

    const auto lines = [this](const std::vector<nettor::TexturedSegment>& segments, double z) {
        gl_->glBegin(GL_LINES);
        for (const nettor::TexturedSegment& s : segments) {
            gl_->glVertex3d(s.x0, s.y0, z);
            gl_->glVertex3d(s.x1, s.y1, z);
        }
        gl_->glEnd();
    };
    gl_->glColor4d(0, 0, 0, 1);
    lines(picture.flapLines, nettor::kFlapLineDepth);

    gl_->glColor4d(1, 1, 1, 1);
    gl_->glEnable(GL_BLEND);
    gl_->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (std::size_t f = 0; f < picture.faces.size(); ++f) {
        const auto& face = picture.faces[f];
        const bool textured = textures_.bind(*gl_, f < picture.faceImages.size() ? picture.faceImages[f] : nullptr);
        gl_->glBegin(GL_POLYGON);
        for (const nettor::TexturedCorner& c : face) {
            if (textured && c.hasTexCoord) gl_->glTexCoord2d(c.u, c.v);
            gl_->glVertex3d(c.x, c.y, 0);
        }
        gl_->glEnd();
    }
    gl_->glDisable(GL_TEXTURE_2D);
    gl_->glColor4d(0, 0, 0, picture.lineAlpha);
    lines(picture.lines, nettor::kEdgeLineDepth);
    gl_->glDisable(GL_BLEND);
    textures_.endFrame(*gl_);
}

QImage TextureView::renderImage()
{
    return grabFramebuffer();
}

void TextureView::mousePressEvent(QMouseEvent* event)
{
    last_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton) leftDrag_ = true;
    if (event->button() == Qt::RightButton) rightDrag_ = true;
}

void TextureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) leftDrag_ = false;
    if (event->button() == Qt::RightButton) rightDrag_ = false;
}

void TextureView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (leftDrag_) {
        panX_ += p.x() - last_.x();
        panY_ -= p.y() - last_.y();
    } else if (rightDrag_) {
        if (nettor::Model* model = nettor::appState().model.get())
            nettor::dragTextureScale(*model, p.x() - last_.x(), p.y() - last_.y());
    } else {
        return;
    }
    last_ = p;
    update();
}
