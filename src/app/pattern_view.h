#pragma once
// The 2D pattern view pane on the right. While a part grows it shows that
// part edge by edge; once the unfolding is finished it shows the A4 sheet
// with the pattern drawn by drawPattern. It carries out the zoom and scale
// commands (hints 11 to 14) and the scale typed into the information panel
// (hint 19); the geometry and the limits are the core's SheetView.
#include "pattern/sheet_view.h"

#include <QAbstractScrollArea>

namespace nettor {
struct UnfoldedPart;
}

class PatternView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The colour around the sheet picture.
    static QColor surroundColour() { return QColor(176, 204, 240); }

    explicit PatternView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {480, 620}; }

    const nettor::SheetView& sheetView() const { return view_; }

public slots:
    void onUpdateHint(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void takeClientSize();
    void applyScrollSize();
    void followGrowingPart();
    // Shows the refusal of a command, if any; returns true when it was done.
    bool done(const std::string& refusal);
    void paintSheet(QPainter& painter);
    void paintGrowingPart(QPainter& painter);

    nettor::SheetView view_;
    bool fitted_ = false;
    const nettor::UnfoldedPart* followedPart_ = nullptr;
    int followedFaces_ = 0;
};
