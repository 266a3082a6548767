#pragma once
// The indicator panes at the right of the status bar: "CAP", "NUM" and
// "SCRL", each showing its text while its lock key is on and blank while it
// is off. There is no pane for a kana lock, which Linux keyboards lack.
// The panes follow the keyboard after each key and twice a second (a lock
// may change while another program has the keyboard); where the platform
// does not tell the lock states (not on X), they stay blank.
#include "app/x11_lock_state.h"

#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;

class LockIndicators : public QObject {
    Q_OBJECT
public:
    explicit LockIndicators(QStatusBar* bar);

    QLabel* capsPane() const { return caps_; }
    QLabel* numPane() const { return num_; }
    QLabel* scrollPane() const { return scroll_; }

    // Shows these states in the panes.
    void show(const LockKeyState& state);

public slots:
    // Reads the lock states from the platform and shows them.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* caps_;
    QLabel* num_;
    QLabel* scroll_;
    QTimer* poll_;
};
