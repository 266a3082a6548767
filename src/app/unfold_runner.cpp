#include "app/unfold_runner.h"

#include "app/document.h"
#include "app/progress_dialog.h"
#include "session/app_state.h"
#include "state/held_messages.h"

#include <QTimer>
#include <QWidget>

UnfoldRunner::UnfoldRunner(Document* document, QWidget* dialogParent)
    : QObject(document), dialogParent_(dialogParent)
{
    connect(document, &Document::updateHint, this, &UnfoldRunner::onUpdateHint);
}

UnfoldRunner::~UnfoldRunner() = default;

void UnfoldRunner::onUpdateHint(int number)
{
    if (static_cast<nettor::ViewChange>(number) != nettor::ViewChange::UnfoldingRequested || run_.running()) return;
    nettor::AppState& state = nettor::appState();
    switch (nettor::unfoldingPlace(state, state.model.get())) {
    case nettor::UnfoldingPlace::Nothing:
        break;
    case nettor::UnfoldingPlace::CallingThread: {
        // "All faces are unfolded." comes up over the finished pattern.
        nettor::HeldMessages held(state);
        nettor::unfoldOnCallingThread(state, *state.model);
        held.release();
        break;
    }
    case nettor::UnfoldingPlace::WorkerThread:
        runInBackground();
        break;
    }
}

void UnfoldRunner::runInBackground()
{
    ProgressDialog dialog(dialogParent_);
    dialog_ = &dialog;
    const auto ended = [this] { QMetaObject::invokeMethod(this, &UnfoldRunner::onWorkerEnded, Qt::QueuedConnection); };
    if (!run_.start(nettor::appState(), *nettor::appState().model, ended)) return;

    dialog.showProgress(run_.progress());
    connect(&dialog, &ProgressDialog::cancelRequested, &dialog, [this] { run_.requestCancel(); });
    // The dialog's texts only; the end comes from the worker.
    QTimer timer;
    timer.setInterval(kRefreshMilliseconds);
    connect(&timer, &QTimer::timeout, &dialog, [this, &dialog] { dialog.showProgress(run_.progress()); });
    timer.start();
    emit progressDialogOpened(&dialog);
    // The worker may have ended before the dialog runs.
    if (run_.running() && !run_.workerEnded()) dialog.exec();
    timer.stop();
    dialog_ = nullptr;
    // The dialog only closes after the join; should it have gone some other
    // way, the worker is still waited for here.
    if (run_.running()) {
        if (!run_.workerEnded()) run_.requestCancel();
        run_.finish();
    }

    emit runEnding();
    nettor::notifyViews(nettor::ViewChange::CountsChanged);
    // The worker sends no hints; a finished unfolding is announced here,
    // so that the panel shows the scale chosen for the new sheet rather
    // than the last one's.
    if (nettor::appState().status.finished) nettor::notifyViews(nettor::ViewChange::UnfoldingFinished);
    else nettor::notifyViews(nettor::ViewChange::PartGrew);
    nettor::invalidateModelView();
    nettor::repaintPatternView();
    emit runEnded();
    run_.deliver();
}

void UnfoldRunner::onWorkerEnded()
{
    if (!run_.running() || !run_.workerEnded()) return;
    run_.finish();
    if (dialog_) {
        dialog_->showProgress(run_.progress());
        dialog_->accept();
    }
}
