#pragma once
// The information panel below the 3D view: the model's counters, the
// right-drag choice, the manual unfolding modes, the overlap check, Start and
// Undo of the automatic unfolding, and the scale of the pattern. Every
// control calls the application's session; the panel decides nothing
// itself.
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class InformationPanel : public QWidget {
    Q_OBJECT
public:
    explicit InformationPanel(QWidget* parent = nullptr);
    QSize sizeHint() const override;

    // The controls, for the window's tests.
    QLineEdit* faceCountEdit() const { return faces_; }
    QLineEdit* unfoldedCountEdit() const { return unfolded_; }
    QLineEdit* partCountEdit() const { return parts_; }
    QRadioButton* rightDragButton(int mode) const;
    QPushButton* cutEdgeButton() const { return cutEdge_; }
    QPushButton* firstFaceButton() const { return firstFace_; }
    QPushButton* connectEdgeButton() const { return connectEdge_; }
    QCheckBox* overlapCheckBox() const { return overlap_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* undoButton() const { return undo_; }
    QLineEdit* scaleEdit() const { return scale_; }
    QPushButton* refreshButton() const { return refresh_; }

public slots:
    void onUpdateHint(int number);
    // Copies the unfolding counters into their fields.
    void refreshCounters();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void showScale();
    void onStart();
    void onUndo();
    void onRefresh();
    void onPickMode(int mode);
    void onOverlapCheck();

    QLineEdit* faces_;
    QLineEdit* unfolded_;
    QLineEdit* parts_;
    QButtonGroup* rightDrag_;
    QButtonGroup* pickModes_;
    QPushButton* cutEdge_;
    QPushButton* firstFace_;
    QPushButton* connectEdge_;
    QCheckBox* overlap_;
    QPushButton* start_;
    QPushButton* undo_;
    QLineEdit* scale_;
    QPushButton* refresh_;
};
