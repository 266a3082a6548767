#pragma once
// The OpenGL view of the textured pattern window: the finished pattern with
// the texture image through the pattern points, flaps and lines. The left
// button pans, the right button zooms.
#include "app/gl_texture.h"

#include <QOpenGLWidget>
#include <QPoint>

class QOpenGLFunctions_1_1;

class TextureView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit TextureView(QWidget* parent = nullptr);
    ~TextureView() override;

    // The picture at the view's size, drawn off screen.
    QImage renderImage();

    double panX() const { return panX_; }
    double panY() const { return panY_; }

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void applyProjection();
    void drawTexturedPattern();

    QOpenGLFunctions_1_1* gl_ = nullptr;
    GlTextureCache textures_;
    double panX_ = 0.0;
    double panY_ = 0.0; // grows upwards
    bool leftDrag_ = false;
    bool rightDrag_ = false;
    QPoint last_;
};
