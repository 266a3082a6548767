#include "app/model_opening.h"

#include "session/app_state.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

ModelOpening::ModelOpening(QObject* parent) : QObject(parent)
{
    bool given = false;
    const int delay = qEnvironmentVariableIntValue("NETTOR_READ_PROGRESS_DELAY_MS", &given);
    if (given && delay >= 0) delayMilliseconds_ = delay;
}

bool ModelOpening::open(const QString& path, QWidget* dialogParent)
{
    const auto ended = [this] { QMetaObject::invokeMethod(this, &ModelOpening::readingEnded, Qt::QueuedConnection); };
    if (!reading_.start(path.toStdString(), ended)) return false;

    if (delayMilliseconds_ > 0 && !reading_.ended()) {
        // Most files are read by now; meanwhile the window is drawn and the
        // user's input waits.
        QEventLoop quiet;
        QTimer::singleShot(delayMilliseconds_, &quiet, &QEventLoop::quit);
        // (A reading given up before may tell its end too.)
        connect(this, &ModelOpening::readingEnded, &quiet, [this, &quiet] {
            if (reading_.ended()) quiet.quit();
        });
        quiet.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!reading_.ended()) {
        QProgressDialog dialog(tr("Reading %1 ...").arg(QFileInfo(path).fileName()), tr("Cancel"), 0, 0,
                               dialogParent);
        dialog.setObjectName(QStringLiteral("readingProgress"));
        dialog.setWindowTitle(tr("Opening"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoReset(false);
        connect(this, &ModelOpening::readingEnded, &dialog, [this, &dialog] {
            if (reading_.ended()) dialog.accept();
        });
        emit progressDialogOpened(&dialog);
        // Cancel (or Escape) gives the reading up, even should it have just
        // ended: the user asked to keep what is current.
        if (!reading_.ended() && dialog.exec() != QDialog::Accepted) {
            reading_.cancel();
            return false;
        }
    }
    return nettor::appState().openRead(reading_.take());
}
