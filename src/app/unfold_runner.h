#pragma once
// Runs the automatic unfolding that Start asks for (view-update hint 2):
// models of up to 50 faces on the user-interface thread, larger ones on a
// worker thread behind the modal progress dialog, refreshed every 100 ms.
// When the worker has ended and been joined, the dialog closes, the views
// are brought up to date, and then whatever the worker wanted shown, and
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

private:
    void runInBackground();

    QPointer<QWidget> dialogParent_;
    nettor::BackgroundUnfolding run_;
};
