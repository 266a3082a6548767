#pragma once
// Runs the automatic unfolding that Start asks for (view-update hint 2):
// models of up to 50 faces on the user-interface thread, larger ones on a
// worker thread behind the modal progress dialog, refreshed every 100 ms.
// The worker tells its end itself, so the dialog closes as soon as it has
// ended and been joined. Then the views are brought up to date (between
// runEnding and runEnded, so that the window may show the counters ahead of
// the views' longer drawing), and then whatever the worker wanted shown, and
// after a cancel "Operation is suspended.", reaches the user.
#include "unfold/background_unfolding.h"

#include <QObject>
#include <QPointer>

class Document;
class ProgressDialog;
class QWidget;

class UnfoldRunner : public QObject {
    Q_OBJECT
public:
    // Listens to the document's hints; the dialog opens over dialogParent.
    UnfoldRunner(Document* document, QWidget* dialogParent);
    ~UnfoldRunner() override;

    static constexpr int kRefreshMilliseconds = 100;

public slots:
    void onUpdateHint(int number);

signals:
    // The progress dialog of a background run is about to run modally.
    void progressDialogOpened(ProgressDialog* dialog);
    // A background run has ended and its dialog has closed; the views are
    // about to be told.
    void runEnding();
    // The views have been told; what the worker wanted shown comes next.
    void runEnded();

private:
    void runInBackground();
    // Queued from the worker when it has ended.
    void onWorkerEnded();

    QPointer<QWidget> dialogParent_;
    QPointer<ProgressDialog> dialog_; // of the run going on
    nettor::BackgroundUnfolding run_;
};
