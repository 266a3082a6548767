#pragma once
// The 2D pattern view pane on the right. It shows the sheet once an
// unfolding is finished; until the pattern drawing arrives it is a blank sheet.
#include <QWidget>

class PatternView : public QWidget {
    Q_OBJECT
public:
    explicit PatternView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {50, 50}; }

public slots:
    void onUpdateHint(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
};
