#pragma once
// The modal "In Progress" dialog of a background unfolding: the phase text,
// the face counter (or the arranging notice), a progress bar and the
// percentage. It closes only when told to (once the worker has ended);
// Cancel, Escape and the window's close button all ask for a cancel.
#include "unfold/background_unfolding.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    // Shows the counters, unless a cancel was asked for.
    void showProgress(const nettor::UnfoldProgress& progress);
    bool cancelAsked() const { return cancelAsked_; }

    QString phaseText() const;
    QString taskText() const;
    QString percentText() const;
    QProgressBar* progressBar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void reject() override;

signals:
    void cancelRequested();

private:
    QLabel* phase_;
    QLabel* task_;
    QLabel* percent_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool cancelAsked_ = false;
    bool started_ = false;
};
