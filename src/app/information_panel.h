#pragma once
// The information panel below the 3D view. For now it tells what is loaded;
// the unfolding controls join it later.
#include <QWidget>

class QLabel;

class InformationPanel : public QWidget {
    Q_OBJECT
public:
    explicit InformationPanel(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {200, 100}; }
    QString summaryText() const;

public slots:
    void onUpdateHint(int number);

private:
    QLabel* summary_;
};
