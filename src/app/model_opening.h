#pragma once
// The window's Open: the file is read on a worker thread while the window
// goes on drawing the model that is current. A reading that takes longer
// than half a second (NETTOR_READ_PROGRESS_DELAY_MS sets another delay)
// shows a progress dialog; its Cancel gives the reading up and the current
// model stays. Until the dialog shows, the user's input waits, as it would
// for a reading on this thread.
#include "session/background_reading.h"

#include <QObject>

class QProgressDialog;
class QWidget;

class ModelOpening : public QObject {
    Q_OBJECT
public:
    static constexpr int kProgressDelayMilliseconds = 500;

    explicit ModelOpening(QObject* parent = nullptr);

    // Reads the file and makes the result current (Session::openRead).
    // False when nothing but the texture flags changed: the file could not
    // be read, the user cancelled, or another reading is going on.
    bool open(const QString& path, QWidget* dialogParent);
    // Readings given up whose threads are still reading.
    int abandonedReadings() { return reading_.abandonedCount(); }

signals:
    // The progress dialog of a long reading is about to run modally.
    void progressDialogOpened(QProgressDialog* dialog);
    // Queued from the worker when a reading has ended (perhaps one given up).
    void readingEnded();

private:
    nettor::BackgroundReading reading_;
    int delayMilliseconds_ = kProgressDelayMilliseconds;
};
