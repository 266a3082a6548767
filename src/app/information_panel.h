#pragma once
// The information panel below the 3D view: the model's counters, the
// right-drag choice, the manual unfolding modes, the overlap check, Start and
// Undo of the automatic unfolding, the search for fewer parts that Start may
// run, and the scale of the pattern. Every control calls the application's
// session; the panel decides nothing itself.
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
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
    QCheckBox* fewerPartsCheckBox() const { return fewerParts_; }
    QLineEdit* scaleEdit() const { return scale_; }
    QPushButton* refreshButton() const { return refresh_; }

public slots:
    void onUpdateHint(int number);
    // Shows the stored choice of the search for fewer parts.
    void showPartSearchChoice();
    // Copies the unfolding counters into their fields.
    void refreshCounters();
    // The same, painted on the screen before this returns (ahead of views
    // that are about to take long to draw).
    void showCountersNow();

private:
    void showScale();
    void showFinishedSize();
    void onStart();
    void onUndo();
    void onRefresh();
    void onPickMode(int mode);
    void onOverlapCheck();
    // Reads the fields as the buttons that need them do: text the scale
    // field cannot take is reported and left selected, and the scale held
    // before stays.
    void readControls();

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
    QCheckBox* fewerParts_;
    QLineEdit* scale_;
    QLabel* finishedSize_ = nullptr;
    QPushButton* refresh_;
    double scaleValue_ = 0.0; // the scale as last shown or read
    bool finishedSizeDue_ = false; // showFinishedSize is queued
};
