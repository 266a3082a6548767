#pragma once
// The 3D model view pane. Until the OpenGL view arrives it draws a shaded
// sketch of the current model from a fixed direction, so that an opened
// model can be seen at once.
#include <QWidget>

class ModelView : public QWidget {
    Q_OBJECT
public:
    explicit ModelView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {320, 250}; }

public slots:
    void onUpdateHint(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
};
