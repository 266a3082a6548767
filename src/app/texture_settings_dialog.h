#pragma once
// The settings of the textured pattern picture: mirror, fold lines,
// outlines, line transparency and scale. OK stores them; either button
// redraws the picture.
#include <QDialog>

class QCheckBox;
class QLineEdit;

class TextureSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextureSettingsDialog(QWidget* parent = nullptr);
    void accept() override;

private:
    QCheckBox* inverted_;
    QCheckBox* showEdges_;
    QCheckBox* silhouette_;
    QLineEdit* transparency_;
    QLineEdit* scale_;
};
